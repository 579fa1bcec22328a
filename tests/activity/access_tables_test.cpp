// Loading access tables from their location drive, sized by what the file holds.

#include "activity/access_tables.h"

#include <gtest/gtest.h>

#include "database_fixture.h"

namespace activity {
namespace {

using AccessTableFile = DatabaseFiles;

AccessRecord Counted(std::uint32_t key) {
  AccessRecord record;
  record.key = key;
  record.lastAccess = 0x5A2189AB;
  record.lastOperation = 3;
  record.readOnly = 10;
  record.writeOnly = 20;
  record.readWrite = 30;
  record.execute = 40;
  record.seek = 50;
  record.total = 60;
  return record;
}

TEST_F(AccessTableFile, LoadsTheTableFromItsLocationDrive) {
  DriveRecord record = WatchedDrive('E', 'D');
  record.recordsInUse = 1;
  const std::uint32_t k1 = 0x0000A123, k2 = 0x77770000;
  const std::uint32_t bucket = k1 & record.bucketMask;
  std::vector<AccessRecord> records(record.Capacity());
  records[bucket * record.bucketSize + 3] = Counted(k1);
  drives.WriteFile("D:\\FileTblE.NVX", BytesOf(records));

  AccessTables tables;
  ASSERT_TRUE(tables.Load(system, 'E', record));
  EXPECT_TRUE(tables.Loaded('E'));
  EXPECT_EQ(tables.Table('E').size(), record.Capacity());
  EXPECT_EQ(tables.Lookup('E', k1, k2), bucket * record.bucketSize + 3);
  EXPECT_EQ(tables.RecordOrZero('E', (std::uint64_t{k2} << 32) | k1), Counted(k1));
  EXPECT_EQ(tables.RecordOrZero('E', (std::uint64_t{k2} << 32) | (k1 + 1)), AccessRecord{});
  EXPECT_FALSE(drives.Exists("C:\\FileTblE.NVX"));
}

TEST_F(AccessTableFile, MissingTableIsCreatedEmpty) {
  DriveRecord record = WatchedDrive('D', 'E');
  record.recordsInUse = 3;
  AccessTables tables;
  ASSERT_TRUE(tables.Load(system, 'D', record));
  EXPECT_TRUE(tables.Loaded('D'));
  EXPECT_TRUE(tables.Table('D').empty());
  EXPECT_EQ(tables.Lookup('D', 0x1234, 0x5678), -1);
  EXPECT_EQ(drives.ReadFile("E:\\FileTblD.NVX"), "");
  ExpectDatabaseAttributes("E:\\FileTblD.NVX");
}

// A damaged drive record must not make the program allocate what the record claims.
TEST_F(AccessTableFile, TableSizeIsBoundedByTheFile) {
  DriveRecord absurd = WatchedDrive('D');
  absurd.bucketMask = 0xFFFF;
  absurd.bucketSize = 0xFFFF;  // 4.29 billion records, 141 GB
  absurd.recordsInUse = 1;
  std::vector<AccessRecord> ten(10, Counted(0x01010101));
  drives.WriteFile("C:\\FileTblD.NVX", BytesOf(ten) + "\x07\x07");  // and a cut record
  AccessTables tables;
  ASSERT_TRUE(tables.Load(system, 'D', absurd));
  EXPECT_EQ(tables.Table('D').size(), 10u);
  EXPECT_EQ(tables.Lookup('D', 0x02020202, 0xFFFFFFFF), -1);

  // A file longer than capacity + 1 records is read only that far.
  DriveRecord tiny = WatchedDrive('E');
  tiny.bucketMask = 1;
  tiny.bucketSize = 2;
  drives.WriteFile("C:\\FileTblE.NVX", BytesOf(ten));
  ASSERT_TRUE(tables.Load(system, 'E', tiny));
  EXPECT_EQ(tables.Table('E').size(), 5u);
}

TEST_F(AccessTableFile, UnopenableTablesFailTheLoad) {
  AccessTables tables;
  EXPECT_FALSE(tables.Load(system, 'D', WatchedDrive('D', 'Q'))) << "location not mapped";
  DriveRecord noLocation = WatchedDrive('D');
  noLocation.location = 0;
  EXPECT_FALSE(tables.Load(system, 'D', noLocation));
  EXPECT_FALSE(tables.Loaded('D'));

  drives.WriteFile("E:\\elsewhere", "keep");
  Symlink(drives.Host("E:\\elsewhere"), "C:\\FileTblD.NVX");
  EXPECT_FALSE(tables.Load(system, 'D', WatchedDrive('D'))) << "a link is not followed";
  EXPECT_EQ(drives.ReadFile("E:\\elsewhere"), "keep");
}

}  // namespace
}  // namespace activity
