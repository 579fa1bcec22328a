// "C:\DriveTbl.NVX": loading what the file holds, saving it whole or not at all.

#include "activity/drive_table.h"

#include <gtest/gtest.h>

#include "database_fixture.h"
#include "support/faulty_system.h"

namespace activity {
namespace {

using DriveTableFile = DatabaseFiles;

TEST_F(DriveTableFile, MissingOrEmptyFileLoadsAsEmptyTable) {
  DriveTable table;
  EXPECT_FALSE(table.Loaded());
  ASSERT_TRUE(table.Load(system));
  EXPECT_TRUE(table.Loaded());
  EXPECT_TRUE(table.NewState().empty());
  EXPECT_TRUE(table.OldState().empty());
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), "") << "created empty";
  ExpectDatabaseAttributes(kDriveTablePath);

  ASSERT_TRUE(table.Load(system)) << "and loads again once it exists";
  EXPECT_TRUE(table.NewState().empty());
}

TEST_F(DriveTableFile, TableEndsAtTheFirstZeroDriveOrAfterTwentySix) {
  DriveRecord d = WatchedDrive('D', 'E');
  d.recordsInUse = 12;
  d.reserved[34] = 0x5A;
  DriveRecord ended = WatchedDrive('E');
  ended.drive = 0;
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{d, ended, WatchedDrive('E')}));

  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  EXPECT_EQ(table.NewState(), std::vector{d});
  EXPECT_EQ(table.OldState(), std::vector{d});
  ASSERT_TRUE(table.Save(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), BytesOf(std::vector{d})) << "records after the end are lost";

  std::vector<DriveRecord> many;
  for (int i = 0; i < 30; ++i) many.push_back(WatchedDrive(static_cast<char>('A' + i % 26)));
  drives.WriteFile(kDriveTablePath, BytesOf(many));
  ASSERT_TRUE(table.Load(system));
  EXPECT_EQ(table.NewState().size(), kMaxDriveRecords);

  // A file cut inside a record: the missing bytes read as zero.
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{d}) + std::string("\x05\x04\xFF", 3));
  ASSERT_TRUE(table.Load(system));
  ASSERT_EQ(table.NewState().size(), 2u);
  EXPECT_EQ(table.NewState()[1].drive, 5);
  EXPECT_EQ(table.NewState()[1].bucketMask, 0x00FF);
  EXPECT_EQ(table.NewState()[1].spanEnd, 0u);
}

TEST_F(DriveTableFile, DefaultRecordsGoToTheNewStateOnly) {
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  ASSERT_TRUE(table.AppendDefaultRecord(3, 0x5A210000));
  ASSERT_EQ(table.NewState().size(), 1u);
  EXPECT_TRUE(table.OldState().empty());
  const DriveRecord& record = table.NewState()[0];
  EXPECT_EQ(record.location, 3);
  EXPECT_EQ(record.bucketMask, 1023);
  EXPECT_EQ(record.bucketSize, 4);
  EXPECT_EQ(record.namesState, -1);
  EXPECT_EQ(record.maxNameSize, 256);
  EXPECT_EQ(record.spanStart, 0x5A210000u);
  EXPECT_EQ(record.spanEnd, kNoSpanEnd);
  EXPECT_EQ(record.recordsInUse, 0u);
  EXPECT_EQ(table.Find(3), 0);
  EXPECT_EQ(table.Find(3, TableState::Old), -1);
  EXPECT_EQ(table.Capacity(0), 4096u);

  // A drive keeps the record it has: a second one would load its table twice, in two shapes.
  EXPECT_FALSE(table.AppendDefaultRecord(3, 0));
  EXPECT_EQ(table.NewState().size(), 1u);
  for (std::uint8_t n = 1; n <= 26; ++n) {
    if (n != 3) EXPECT_TRUE(table.AppendDefaultRecord(n, 0));
  }
  EXPECT_EQ(table.NewState().size(), kMaxDriveRecords);
}

TEST_F(DriveTableFile, FillPercentageNeverDividesByZeroWrapsOrExceedsAHundred) {
  DriveRecord half = WatchedDrive('D');
  half.recordsInUse = 2048;
  DriveRecord none = WatchedDrive('E');
  none.bucketSize = 0;
  none.recordsInUse = 9;
  DriveRecord overfull = WatchedDrive('F');
  overfull.recordsInUse = 0xFFFFFFFF;
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{half, none, overfull}));
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  table.NewState()[0].recordsInUse = 4096;

  EXPECT_EQ(table.FillPercentage(0), 100u);
  EXPECT_EQ(table.FillPercentage(0, TableState::Old), 50u);
  EXPECT_EQ(table.FillPercentage(1), 0u) << "capacity 0";
  EXPECT_EQ(table.FillPercentage(2), 100u) << "more records than room: full, not 10485759 %";
  EXPECT_EQ(table.FillPercentage(3), 0u);
  EXPECT_EQ(table.FillPercentage(-1), 0u);
  EXPECT_EQ(table.Capacity(7), 0u);
}

TEST_F(DriveTableFile, SaveWritesFiftyNineBytesPerRecord) {
  DriveTable never;
  EXPECT_TRUE(never.Save(system)) << "a table never loaded is not written";
  EXPECT_FALSE(drives.Exists(kDriveTablePath));

  DriveRecord kept = WatchedDrive('D', 'E');
  kept.reserved.fill(0x33);
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{kept}));
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  table.AppendDefaultRecord(5, 0x12345678);
  table.NewState()[0].spanEnd = 0x5B000000;
  ASSERT_TRUE(table.Save(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), BytesOf(table.NewState()));
  ExpectDatabaseAttributes(kDriveTablePath);

  DriveTable again;
  ASSERT_TRUE(again.Load(system));
  EXPECT_EQ(again.NewState(), table.NewState()) << "reserved bytes travel with the record";

  again.NewState().clear();
  ASSERT_TRUE(again.Save(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), "");
}

TEST_F(DriveTableFile, FailedSaveLeavesTheOldTableWhole) {
  const std::string old = BytesOf(std::vector{WatchedDrive('D'), WatchedDrive('E')});
  drives.WriteFile(kDriveTablePath, old);
  testing_support::FaultySystem faulty(system);
  DriveTable table;
  ASSERT_TRUE(table.Load(faulty));
  table.NewState().push_back(WatchedDrive('F'));

  faulty.DiskFullAfter(100);
  EXPECT_FALSE(table.Save(faulty));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), old);
  EXPECT_EQ(RootNames('C'), std::vector<std::string>{"DriveTbl.NVX"}) << "no temporary file left";

  faulty.Reset();
  faulty.Fail(testing_support::Operation::Move);
  EXPECT_FALSE(table.Save(faulty));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), old);
  EXPECT_EQ(RootNames('C'), std::vector<std::string>{"DriveTbl.NVX"});

  faulty.Reset();
  EXPECT_TRUE(table.Save(faulty));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath).size(), 3 * kDriveRecordSize);
}

TEST_F(DriveTableFile, LinksAtTheRootAreNeverWrittenThrough) {
  drives.WriteFile("D:\\precious", "keep me");
  const std::string precious = drives.Host("D:\\precious");

  // A link in place of the table is not opened...
  Symlink(precious, kDriveTablePath);
  DriveTable table;
  EXPECT_FALSE(table.Load(system));
  EXPECT_EQ(drives.ReadFile("D:\\precious"), "keep me");

  // ...and one in place of the temporary file is replaced, not followed.
  system.DeleteFile(kDriveTablePath);
  ASSERT_TRUE(table.Load(system));
  table.AppendDefaultRecord(4, 0);
  Symlink(precious, std::string(kDriveTablePath) + ".tmp");
  ASSERT_TRUE(table.Save(system));
  EXPECT_EQ(drives.ReadFile("D:\\precious"), "keep me");
  EXPECT_EQ(drives.ReadFile(kDriveTablePath).size(), kDriveRecordSize);
}

}  // namespace
}  // namespace activity
