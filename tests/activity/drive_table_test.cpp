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

TEST_F(DriveTableFile, TableEndsAtTheFirstZeroDrive) {
  DriveRecord d = WatchedDrive('D', 'E');
  d.recordsInUse = 12;
  d.reserved[34] = 0x5A;
  DriveRecord ended = WatchedDrive('E');
  ended.drive = 0;
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{d, ended, WatchedDrive('E')}) + "tail");

  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  EXPECT_EQ(table.NewState(), std::vector{d});
  EXPECT_EQ(table.OldState(), std::vector{d});
  ASSERT_TRUE(table.Save(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), BytesOf(std::vector{d})) << "records after the end are lost";

  std::vector<DriveRecord> full;
  for (char letter = 'A'; letter <= 'Z'; ++letter) full.push_back(WatchedDrive(letter));
  drives.WriteFile(kDriveTablePath, BytesOf(full));
  ASSERT_TRUE(table.Load(system));
  EXPECT_EQ(table.NewState().size(), kMaxDriveRecords);
}

// A table that is not what this program and the recorder write is refused whole, with
// the reason, and left exactly as it is; whatever was loaded before stays.
TEST_F(DriveTableFile, DamagedTablesAreRefusedAndLeftAsTheyAre) {
  const DriveRecord c = WatchedDrive('C');
  const auto with = [&c](auto change) {
    DriveRecord d = WatchedDrive('D');
    change(d);
    return BytesOf(std::vector{c, d});
  };
  std::vector<DriveRecord> tooMany;
  for (char letter = 'A'; letter <= 'Z'; ++letter) tooMany.push_back(WatchedDrive(letter));
  tooMany.push_back(WatchedDrive('C'));
  struct Case {
    std::string bytes;
    std::string reason;
  };
  const Case cases[] = {
      {BytesOf(std::vector{c}) + std::string("\x04\x03\xFF", 3), "it ends inside record 2 (3 of 59 bytes)"},
      {BytesOf(tooMany), "it goes on after 26 records"},
      {BytesOf(std::vector{c, WatchedDrive('D'), WatchedDrive('C')}), "record 1 and record 3 are both for drive C:"},
      {with([](DriveRecord& d) { d.drive = 27; }), "record 2 names drive number 27"},
      {with([](DriveRecord& d) { d.location = 0; }), "record 2 (D:) keeps its database on drive number 0"},
      {with([](DriveRecord& d) { d.bucketMask = 1000; }), "record 2 (D:) has the bucket mask 1000"},
      {with([](DriveRecord& d) { d.bucketSize = 0; }), "record 2 (D:) has 0 records per bucket"},
      {with([](DriveRecord& d) { d.bucketSize = 18; }), "record 2 (D:) has 18 records per bucket"},
      {with([](DriveRecord& d) { d.namesState = -2; }), "record 2 (D:) has the names state -2"},
      {with([](DriveRecord& d) { d.maxNameSize = 32768; }), "record 2 (D:) has names of 32768 bytes"},
      {with([](DriveRecord& d) { d.spanStart = 0x5BA10000; }), "record 2 (D:) starts recording at no real date"},
      {with([](DriveRecord& d) { d.spanEnd = 0; }), "record 2 (D:) stops recording at no real date"},
  };
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{c}));
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  for (const Case& damaged : cases) {
    drives.WriteFile(kDriveTablePath, damaged.bytes);
    EXPECT_FALSE(table.Load(system)) << damaged.reason;
    EXPECT_EQ(table.Damage().substr(0, damaged.reason.size()), damaged.reason);
    EXPECT_EQ(table.NewState(), std::vector{c});
    EXPECT_FALSE(table.SaveOwnEdits(system)) << "a table that became damaged is not saved over";
    EXPECT_EQ(drives.ReadFile(kDriveTablePath), damaged.bytes);
  }
  DriveTable never;
  EXPECT_FALSE(never.Load(system));
  EXPECT_FALSE(never.Loaded());
  EXPECT_TRUE(never.SaveOwnEdits(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), cases[std::size(cases) - 1].bytes);
}

// The recorder writes the table while the program runs; the program's save keeps what
// the file holds now and puts on it only what the program itself changed.
TEST_F(DriveTableFile, SaveOwnEditsKeepsWhatOthersWroteMeanwhile) {
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{WatchedDrive('C'), WatchedDrive('D'), WatchedDrive('E')}));
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  std::vector<DriveRecord>& edited = table.NewState();
  edited.erase(edited.begin());               // C: turned off
  edited[0].location = DriveNumber('E');      // D: moved
  edited[0].spanEnd = 0x5B010000;             // and its span changed
  edited[1].bucketMask = 2047;                // E: resized, so emptied
  edited.push_back(WatchedDrive('F', 'E'));   // F: turned on

  std::vector<DriveRecord> meanwhile = {WatchedDrive('C'), WatchedDrive('D'), WatchedDrive('E'), WatchedDrive('G')};
  meanwhile[0].recordsInUse = 5;
  meanwhile[1].recordsInUse = 6;
  meanwhile[1].reserved[3] = 9;
  meanwhile[2].recordsInUse = 7;
  drives.WriteFile(kDriveTablePath, BytesOf(meanwhile));
  ASSERT_TRUE(table.SaveOwnEdits(system));

  DriveRecord d = meanwhile[1];
  d.location = DriveNumber('E');
  d.spanEnd = 0x5B010000;
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), BytesOf(std::vector{d, edited[1], meanwhile[3], edited[2]}));

  // The next save starts from what this one wrote: no edit since, nothing changes.
  meanwhile = {d, edited[1], meanwhile[3], edited[2]};
  meanwhile[0].recordsInUse = 8;
  drives.WriteFile(kDriveTablePath, BytesOf(meanwhile));
  ASSERT_TRUE(table.SaveOwnEdits(system));
  EXPECT_EQ(drives.ReadFile(kDriveTablePath), BytesOf(meanwhile));
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
    if (n != 3) {
      EXPECT_TRUE(table.AppendDefaultRecord(n, 0));
    }
  }
  EXPECT_EQ(table.NewState().size(), kMaxDriveRecords);
}

TEST_F(DriveTableFile, FillPercentageNeverDividesByZeroWrapsOrExceedsAHundred) {
  DriveRecord half = WatchedDrive('D');
  half.recordsInUse = 2048;
  drives.WriteFile(kDriveTablePath, BytesOf(std::vector{half}));
  DriveTable table;
  ASSERT_TRUE(table.Load(system));
  table.NewState()[0].recordsInUse = 4096;
  DriveRecord none = WatchedDrive('E');
  none.bucketSize = 0;
  none.recordsInUse = 9;
  DriveRecord overfull = WatchedDrive('F');
  overfull.recordsInUse = 0xFFFFFFFF;
  table.NewState().push_back(none);
  table.NewState().push_back(overfull);

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
  table.NewState()[0].spanEnd = 0x5B010000;
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
