#pragma once
// The scan's status-pane texts.

namespace scan {

inline constexpr const char* kLookingIn = "Looking in: ";
inline constexpr const char* kDeletingPreviousData = "Deleting previously scanned data ...";
inline constexpr const char* kRecalculatingDrive = "Recalculating drive information ...";
// After a count: selected actions whose entries a rescan no longer lists.
inline constexpr const char* kActionsDropped = " selected action(s) dropped: the rescan no longer lists their files.";

}  // namespace scan
