#include "files/hints.h"

#include <gtest/gtest.h>

#include "support/folder_entries.h"

namespace {

using files::ComputeHint;
using files::DayCount;
using files_test::AddFile;
using files_test::Counters;
using files_test::Dos;

TEST(DayCount, WeighsYearsAsThirtyDayMonthsAndGoesNegativeBackwards) {
  EXPECT_EQ(DayCount(Dos(1997, 1, 5), Dos(1996, 12, 20)), 10605);
  EXPECT_EQ(DayCount(Dos(1997, 3, 10), Dos(1997, 3, 8)), 2);
  EXPECT_EQ(DayCount(Dos(1997, 4, 1), Dos(1997, 3, 31)), 0);  // 30 per month - 30 days
  EXPECT_LT(DayCount(Dos(1997, 3, 8), Dos(1997, 3, 10)), 0);
}

class HintTest : public ::testing::Test {
 protected:
  std::uint8_t Hint(std::uint32_t i, std::uint64_t cs = 512) {
    return ComputeHint(folder, i, cs, drive);
  }
  void SetSpan(std::uint32_t start, std::uint32_t stamp) {
    record.spanStart = start;
    drive.startupStamp = stamp;
  }

  scan::CFolderInfo folder;
  activity::DriveRecord record;
  files::HintDrive drive{&record, 0, true};
};

TEST_F(HintTest, YoungOrMissingDatabaseGivesNoHint) {
  const auto i = AddFile(folder, "a", 100, {0, 1, 0});
  folder.states()[i] = scan::kStateCompressed;
  SetSpan(Dos(1997, 3, 8), Dos(1997, 3, 10));
  EXPECT_EQ(Hint(i), 0);
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  EXPECT_EQ(Hint(i), 2);
  drive.record = nullptr;
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, SpanStartAfterStartupStampGivesNoHint) {
  // A database started this morning, local time, east of UTC: its start lies after the
  // UTC stamp, and would otherwise read as a very old database.
  const auto i = AddFile(folder, "a", 100);
  SetSpan(Dos(1997, 1, 5, 11), Dos(1997, 1, 5, 9));
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, BusyEntriesAreDecompressedOrRestored) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto compressed = AddFile(folder, "c", 100000, {0, 1, 0});
  const auto backedUp = AddFile(folder, "b", 100000, {0, 0, 1});
  const auto normal = AddFile(folder, "n", 100000, {0, 1, 0});
  const auto manyReads = AddFile(folder, "r", 100000, {10605 * 2 + 10605, 0, 0, Dos(1997, 1, 4)});
  folder.states()[compressed] = scan::kStateCompressed;
  folder.states()[backedUp] = scan::kStateBackedUp;
  folder.states()[manyReads] = scan::kStateCompressed;
  EXPECT_EQ(Hint(compressed), 2);
  EXPECT_EQ(Hint(backedUp), 8);
  EXPECT_EQ(Hint(normal), 0);
  EXPECT_EQ(Hint(manyReads), 2);
}

TEST_F(HintTest, LowReadRateIsCompressedOnlyOnCompressibleDrives) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto i = AddFile(folder, "a", 100000, {2, 0, 0, Dos(1997, 1, 4)});
  EXPECT_EQ(Hint(i), 1);
  drive.compressible = false;
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, IdleNeverAccessedFilesAreBackedUpFromTheDatabaseStart) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto neverAccessed = AddFile(folder, "n", 100000);
  const auto recent = AddFile(folder, "r", 100000, {0, 0, 0, Dos(1997, 1, 1)});
  const auto backedUp = AddFile(folder, "b", 100000);
  folder.states()[backedUp] = scan::kStateBackedUp;
  EXPECT_EQ(Hint(neverAccessed), 4);
  EXPECT_EQ(Hint(recent), 1);  // idle 4 days: below 15
  EXPECT_EQ(Hint(backedUp), 0);
}

TEST_F(HintTest, CompressedFileSmallerThanAClusterIsDecompressed) {
  SetSpan(Dos(1997, 1, 1), Dos(1997, 1, 5));
  const auto small = AddFile(folder, "s", 100);
  const auto large = AddFile(folder, "l", 512);
  folder.states()[small] = scan::kStateCompressed;
  folder.states()[large] = scan::kStateCompressed;
  EXPECT_EQ(Hint(small, 512), 2);
  EXPECT_EQ(Hint(large, 512), 0);
}

}  // namespace
