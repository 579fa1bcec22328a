#include "activity/pending_actions.h"

#include <gtest/gtest.h>

namespace activity {
namespace {

// A count lowered by more than it holds (the records and the count disagreeing) stops at
// zero instead of wrapping to four billion pending actions.
TEST(PendingActionCount, LoweringStopsAtZero) {
  std::atomic<std::uint32_t> pending{3};
  LowerPendingActionCount(pending);
  EXPECT_EQ(pending.load(), 2u);
  LowerPendingActionCount(pending, 5);
  EXPECT_EQ(pending.load(), 0u);
  LowerPendingActionCount(pending);
  EXPECT_EQ(pending.load(), 0u);
}

}  // namespace
}  // namespace activity
