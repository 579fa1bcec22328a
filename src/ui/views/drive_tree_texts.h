#pragma once
// The folders tree's own texts.

namespace ui::tree_text {

inline constexpr const char* kDummy = "Dummy";
inline constexpr const char* kReadingDrive = "Read information from the drive '";
inline constexpr const char* kStopScanningFirst = "Stop scanning first!";
inline constexpr const char* kFilesListSummary = " %1 file(s), %2% of %3 K";
inline constexpr const char* kFilesListPrefix = "Files List    ";
inline constexpr const char* kUnreadableFolder = "Cannot read the folder ";
inline constexpr const char* kDriveProperties = "Drive properties: ";
inline constexpr const char* kDirectoryProperties = "Directory properties: ";
inline constexpr const char* kRescanItem = "&Rescan";
inline constexpr const char* kStopScanningItem = "&Stop scanning";
inline constexpr const char* kCollapseAllItem = "&Collapse all children";
inline constexpr const char* kExpandAllItem = "&Expand all children";
inline constexpr const char* kChangeClusterSizeItem = "C&hange cluster size ...";
inline constexpr const char* kPropertiesItem = "&Properties ...";
inline constexpr const char* kShowInTreeMenu = "Show in &Folders tree";
inline constexpr const char* kSortTreeMenu = "&Sort Folders tree by";

}  // namespace ui::tree_text
