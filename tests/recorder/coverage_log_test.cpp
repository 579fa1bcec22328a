// A drive the recorder stops seeing (or starts to) between a hold and its release gets
// a new period: coverage before and blindness after never share one.

#include <gtest/gtest.h>

#include "activity/coverage_file.h"
#include "activity/recorder/coverage_log.h"
#include "support/temp_drives.h"

namespace {

using activity::Blindness;
using activity::recorder::CoverageLog;

TEST(CoverageLog, StartsAPeriodWhenTheDriveIsSeenOtherwise) {
  testing_support::TempDrives drives{"CD"};
  CoverageLog log(drives.System(), {});
  std::vector<std::string> warnings;
  std::string error;
  const std::int64_t now = drives.System().Now();
  log.Open({{'D', 'C', Blindness::None}}, now - 60, &warnings);
  ASSERT_TRUE(log.Suspend(now - 30, &error)) << error;
  log.Open({{'D', 'C', Blindness::NetworkDrive}}, now - 30, &warnings);
  ASSERT_TRUE(log.End(activity::PeriodEnd::CleanStop, now, &error)) << error;

  const auto load = activity::LoadCoverage(drives.System(), 'C', 'D', now);
  ASSERT_EQ(load.periods.size(), 2u) << load.damage;
  EXPECT_EQ(load.periods[0].blind, Blindness::None);
  EXPECT_EQ(load.periods[0].lastSeen, now - 30);
  EXPECT_EQ(load.periods[1].blind, Blindness::NetworkDrive);
  EXPECT_EQ(load.periods[1].lastSeen, now);
}

}  // namespace
