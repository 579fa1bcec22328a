#pragma once
// Every command keeps its numeric identifier: menus, the toolbar, accelerators, context
// menus and the routing all speak in these numbers.

#include "files/selection_command_ids.h"

namespace ui::cmd {

inline constexpr int kTipOfTheDay = 114;

inline constexpr int kPerformActions = 32771;
inline constexpr int kRescanActiveView = 32777;   // F5: only the active view
inline constexpr int kStopScanning = 32778;
inline constexpr int kCollapseAll = 32779;
inline constexpr int kDeleteDatabase = 32780;
inline constexpr int kExpandAll = 32781;
inline constexpr int kTreeProperties = 32782;
inline constexpr int kMoveDatabaseFirst = 32783;  // "Move database to A:"
inline constexpr int kMoveDatabaseLast = 32808;   // ... to Z:
inline constexpr int kShowNewDatabaseState = 32810;
inline constexpr int kShowOldDatabaseState = 32811;

inline constexpr int kSortFilesByAccessCounter = 32814;
inline constexpr int kSortFilesByName = 32815;
inline constexpr int kSortFilesByType = 32816;
inline constexpr int kSortFilesBySize = 32817;
inline constexpr int kSortFilesByActualSize = 32818;
inline constexpr int kSortFilesByLastAccess = 32820;
inline constexpr int kSortFilesByLastOperation = 32821;
inline constexpr int kSortFilesByReadOnly = 32822;
inline constexpr int kSortFilesByWriteOnly = 32823;
inline constexpr int kSortFilesByReadWrite = 32824;
inline constexpr int kSortFoldersByAccessCounter = 32829;
inline constexpr int kSortFoldersByName = 32830;
inline constexpr int kSortFilesByUsedPercent = 32831;
inline constexpr int kSortFilesByAction = 32832;
inline constexpr int kSortFilesByHint = 32833;
inline constexpr int kSortFilesByState = 32855;
inline constexpr int kSortFilesByCompressedSize = 32870;

inline constexpr int kListProperties = 32834;
inline constexpr int kSelectAll = 32836;
inline constexpr int kListChangeClusterSize = 32838;
inline constexpr int kTreeChangeClusterSize = 32843;
inline constexpr int kUpOneLevel = 32844;
inline constexpr int kSelectActions = 32850;
inline constexpr int kCompress = files::kCmdCompress;
inline constexpr int kSetHint = files::kCmdSetHint;
inline constexpr int kCancelAction = files::kCmdCancelAction;
inline constexpr int kRefreshHints = 32862;
inline constexpr int kDecompress = files::kCmdDecompress;
inline constexpr int kHintOptions = 32864;
inline constexpr int kBackup = files::kCmdBackUp;
inline constexpr int kRestore = files::kCmdRestore;
inline constexpr int kClusterSizeAnalysis = 32869;
inline constexpr int kChangeClusterSize = 32871;
inline constexpr int kAutoScan = 32872;
inline constexpr int kRescan = 32874;
inline constexpr int kSpaceMap = 32880;

// Identifiers the window framework gives its standard commands.
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kHelpContents = 57666;
inline constexpr int kHelpSearch = 57667;
inline constexpr int kHelpUsing = 57668;
inline constexpr int kContextHelp = 57669;
inline constexpr int kHelp = 57670;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

inline constexpr bool IsMoveDatabase(int id) {
  return id >= kMoveDatabaseFirst && id <= kMoveDatabaseLast;
}

}  // namespace ui::cmd
