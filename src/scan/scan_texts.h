#pragma once
// The scan's status-pane texts.

namespace scan {

inline constexpr const char* kLookingIn = "Looking in: ";
inline constexpr const char* kDeletingPreviousData = "Deleting previously scanned data ...";
inline constexpr const char* kRecalculatingDrive = "Recalculating drive information ...";

}  // namespace scan
