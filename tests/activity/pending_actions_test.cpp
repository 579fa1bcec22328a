#include "activity/pending_actions.h"

#include <gtest/gtest.h>

#include "activity/app_state.h"

namespace activity {
namespace {

// A count lowered by more than it holds (the records and the count disagreeing) stops at
// zero instead of wrapping to four billion pending actions.
TEST(PendingActionCount, LoweringStopsAtZero) {
  AppState state;
  state.PendingActionCount = 3;
  LowerPendingActionCount(state);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  LowerPendingActionCount(state, 5);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
  LowerPendingActionCount(state);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
}

}  // namespace
}  // namespace activity
