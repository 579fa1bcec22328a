#pragma once
// Lowering the run's count of pending actions, never below zero: a rescan may already
// have taken an entry's count away, and a wrapped count would keep "Perform actions"
// enabled for nothing.

#include <atomic>
#include <cstdint>

namespace activity {

// Lowers `pending` (AppState::PendingActionCount) by `by`, or to 0 when it holds less;
// safe against other threads changing it meanwhile.
void LowerPendingActionCount(std::atomic<std::uint32_t>& pending, std::uint32_t by = 1);

}  // namespace activity
