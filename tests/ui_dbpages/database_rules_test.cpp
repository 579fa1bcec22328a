// The rules behind the three database pages: location sums and verdicts on temporary
// drives, the size settings, and the span choices.

#include <gtest/gtest.h>

#include "activity/database_location.h"
#include "activity/database_shape.h"
#include "activity/database_span.h"
#include "activity/drive_table.h"
#include "platform/dos_time.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace activity {
namespace {

DriveRecord Record(char drive, char location) {
  DriveRecord record;
  record.drive = DriveNumber(drive);
  record.location = DriveNumber(location);
  return record;
}

class LocationTest : public ::testing::Test {
 protected:
  LocationTest() : faulty(drives.System()), model(faulty, table) {}
  void LoadWith(const std::vector<DriveRecord>& records) {
    ASSERT_TRUE(table.Load(drives.System()));
    table.NewState() = records;
    ASSERT_TRUE(table.Save(drives.System()));
    ASSERT_TRUE(table.Load(drives.System()));
  }
  std::uint64_t Cluster(char letter) { return model.ClusterSize(letter); }

  testing_support::TempDrives drives{"CDE"};
  testing_support::FaultySystem faulty;
  DriveTable table;
  LocationModel model;
};

TEST_F(LocationTest, OldDatabasesCountAsSpaceAndOthersAreListed) {
  LoadWith({Record('C', 'D'), Record('E', 'D')});
  const std::uint64_t cluster = Cluster('D');
  ASSERT_GT(cluster, 0u);
  const std::uint64_t one = DatabaseSizeOnDisk(Record('C', 'D'), cluster);
  EXPECT_EQ(one % cluster, 0u);
  EXPECT_GE(one, 135168u);

  const LocationFigures figures = model.Compute(DriveNumber('C'), 'D');
  const std::uint64_t free = faulty.GetDiskFreeSpace('D')->FreeBytes();
  // Free space moves as other programs write; the two databases' share does not.
  EXPECT_NEAR(static_cast<double>(figures.space), static_cast<double>(free + 2 * one), 1 << 24);
  EXPECT_EQ(figures.required, one);
  ASSERT_EQ(figures.rows.size(), 1u) << "this drive's own database is not listed";
  EXPECT_EQ(figures.rows[0].drive, DriveNumber('E'));
  EXPECT_EQ(figures.rows[0].capacity, 4096u);
  EXPECT_EQ(figures.rest, static_cast<std::int64_t>(figures.space - one));
  EXPECT_STREQ(figures.verdict, kVerdictFits);
}

TEST_F(LocationTest, NamesAreCountedInTheSize) {
  DriveRecord record = Record('C', 'C');
  record.namesState = 0;
  record.maxNameSize = 100;
  EXPECT_EQ(DatabaseSizeOnDisk(record, 0), 4096u * 33 + 4096u * 100);
  EXPECT_EQ(DatabaseSizeOnDisk(record, 1000000), 2000000u);
}

TEST_F(LocationTest, ReadOnlyRootBeatsFreeSpace) {
  LoadWith({Record('C', 'C')});
  faulty.ReadOnlyRoot('E');
  const LocationFigures figures = model.Compute(DriveNumber('C'), 'E');
  EXPECT_TRUE(figures.readOnly);
  EXPECT_STREQ(figures.verdict, kVerdictReadOnly);
  const auto item = model.MoveItemFor(DriveNumber('C'), "E: /tmp");
  EXPECT_FALSE(item.enabled);
  EXPECT_TRUE(item.text.starts_with("Move database to &E:\t"));
  EXPECT_TRUE(item.text.ends_with(" K free, read only ")) << item.text;
}

TEST_F(LocationTest, TooLargeDatabaseHasNoSpace) {
  DriveRecord huge = Record('C', 'D');
  huge.bucketMask = 0xFFFF;
  huge.bucketSize = 0xFFFF;
  huge.namesState = 0;
  huge.maxNameSize = 0x7FFF;  // far beyond any test machine's disk
  LoadWith({Record('C', 'C')});
  table.NewState()[0] = huge;
  const LocationFigures figures = model.Compute(DriveNumber('C'), 'D');
  EXPECT_STREQ(figures.verdict, kVerdictNoSpace);
  const auto item = model.MoveItemFor(DriveNumber('C'), "D:");
  EXPECT_FALSE(item.enabled);
  EXPECT_TRUE(item.text.ends_with(" K free ")) << item.text;
}

TEST_F(LocationTest, ProbeLeavesNoFileAndKeepsAnExistingOne) {
  EXPECT_TRUE(RootWritable(faulty, 'D'));
  EXPECT_FALSE(drives.Exists("D:\\TestFile.NVX"));
  drives.WriteFile("E:\\TestFile.NVX", "keep me");
  EXPECT_TRUE(RootWritable(faulty, 'E'));
  EXPECT_EQ(drives.ReadFile("E:\\TestFile.NVX"), "keep me");
}

TEST(DatabaseShape, SlidersMapToMaskAndNamesState) {
  DriveRecord record;
  ShapeSettings settings = SettingsOf(record);
  EXPECT_EQ(settings.sizePosition, 10);
  EXPECT_EQ(settings.efficiency, 4);
  EXPECT_FALSE(settings.storeNames);

  settings.sizePosition = 0;
  ApplySettings(settings, record);
  EXPECT_EQ(record.bucketMask, 0);
  settings.sizePosition = 16;
  ApplySettings(settings, record);
  EXPECT_EQ(record.bucketMask, 65535);
  EXPECT_EQ(SettingsOf(record).sizePosition, 16);

  settings.storeNames = true;
  ApplySettings(settings, record);
  EXPECT_EQ(record.namesState, 0) << "turned on";
  record.namesState = 5;
  ApplySettings(settings, record);
  EXPECT_EQ(record.namesState, 5) << "stays on: unchanged";
  settings.storeNames = false;
  ApplySettings(settings, record);
  EXPECT_EQ(record.namesState, -1);
}

TEST(DatabaseShape, Figures) {
  const ShapeFigures figures = FiguresOf({10, 4, true, 256}, 1024);
  EXPECT_EQ(figures.totalFiles, "4096");
  EXPECT_EQ(figures.storedFiles, "1024 (25%)");
  EXPECT_EQ(figures.sizeInMemory, "135168 bytes");
  EXPECT_EQ(figures.sizeOnDisk, std::to_string(135168 + 4096 * 256) + " bytes");
  EXPECT_EQ(FiguresOf({0, 1, false, 256}, 0).sizeOnDisk, "33 bytes");
  EXPECT_EQ(FiguresOf({16, 17, false, 0}, 0).totalFiles, "1114112") << "no 16-bit overflow";
  // Shrinking the size below the records in use: the database is full, not "250%".
  EXPECT_EQ(FiguresOf({8, 4, false, 0}, 2560).storedFiles, "2560 (100%)");
}

std::uint32_t Dos(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
  return platform::PackDosDateTime({static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), 0,
                                    static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(h),
                                    static_cast<std::uint16_t>(mi), static_cast<std::uint16_t>(s), 0});
}

TEST(DatabaseSpan, ChoicesFollowWholeDays) {
  const std::uint32_t start = Dos(2024, 2, 1);
  EXPECT_EQ(ChoiceFor(start, Dos(2024, 2, 2)), SpanChoice::Day);
  EXPECT_EQ(ChoiceFor(start, Dos(2024, 2, 8, 13)), SpanChoice::Week) << "7 days and an hour";
  EXPECT_EQ(ChoiceFor(start, Dos(2024, 3, 2)), SpanChoice::Month) << "30 days across a leap February";
  EXPECT_EQ(ChoiceFor(start, Dos(2024, 3, 3)), SpanChoice::Custom) << "31 days";
  EXPECT_EQ(ChoiceFor(start, kNoSpanEnd), SpanChoice::DontKnow);
  EXPECT_EQ(ChoiceFor(start, Dos(2024, 1, 31)), SpanChoice::Custom) << "before the start";

  EXPECT_EQ(EndFor(SpanChoice::Month, start), Dos(2024, 3, 2));
  EXPECT_EQ(EndFor(SpanChoice::Week, Dos(2023, 12, 29, 23, 59, 58)), Dos(2024, 1, 5, 23, 59, 58));
  EXPECT_EQ(EndFor(SpanChoice::DontKnow, start), kNoSpanEnd);
  EXPECT_EQ(StartText(Dos(2024, 2, 1, 9, 5, 6)), "09:05:06 of 01 February 2024");
}

}  // namespace
}  // namespace activity
