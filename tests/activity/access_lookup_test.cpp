// The hashed lookup of access records: bucket probes, overflow scans, and tables that
// are shorter than their drive record claims.

#include <gtest/gtest.h>

#include <vector>

#include "activity/access_tables.h"

namespace activity {
namespace {

// Mask 3, buckets of 2: capacity 8, records 0..7 plus the spare free slot 8.
DriveRecord SmallRecord(std::uint32_t recordsInUse = 1) {
  DriveRecord record;
  record.drive = 4;
  record.bucketMask = 3;
  record.bucketSize = 2;
  record.recordsInUse = recordsInUse;
  return record;
}

// Key halves whose four probed buckets are b0..b3 (for mask 3). Bit 2 keeps k1 apart
// from the filler keys and from 0.
struct Key {
  std::uint32_t k1, k2;
};
Key KeyForBuckets(std::uint32_t b0, std::uint32_t b1, std::uint32_t b2, std::uint32_t b3) {
  return {(b1 << 16) | b0 | 0x4000u, (b3 << 16) | b2};
}

AccessRecord Holding(std::uint32_t key, std::uint32_t total = 1) {
  AccessRecord record;
  record.key = key;
  record.total = total;
  return record;
}

std::vector<AccessRecord> FullOfOthers(std::size_t size) {
  std::vector<AccessRecord> table;
  for (std::size_t i = 0; i < size; ++i) table.push_back(Holding(0x7000000 + static_cast<std::uint32_t>(i)));
  return table;
}

TEST(AccessLookup, ProbesTheFourBucketsInOrder) {
  const DriveRecord record = SmallRecord();
  const Key key = KeyForBuckets(1, 2, 3, 0);
  const BucketProbe probe = ProbeFor(key.k1, key.k2, record.bucketMask, record.bucketSize);
  EXPECT_EQ(probe.buckets, (std::array<std::uint32_t, 4>{1, 2, 3, 0}));
  EXPECT_EQ(probe.overflowStart, 2u);  // (0 + 1) * 2

  for (std::uint32_t position = 0; position < 4; ++position) {
    std::vector<AccessRecord> table(9);
    const std::uint32_t bucket = probe.buckets[position];
    table[bucket * 2 + 1] = Holding(key.k1);  // behind a free slot: probes go on past it
    EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), bucket * 2 + 1) << "bucket " << bucket;
  }

  // The same key in two probed buckets: the earlier probe wins.
  std::vector<AccessRecord> table(9);
  table[0] = Holding(key.k1);  // bucket 0, probed last
  table[4] = Holding(key.k1);  // bucket 2, probed second
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), 4);
}

TEST(AccessLookup, EmptyDatabaseFindsNothingEvenWithData) {
  const Key key = KeyForBuckets(1, 1, 1, 1);
  std::vector<AccessRecord> table(9);
  table[2] = Holding(key.k1);
  EXPECT_EQ(LookupIn(table, SmallRecord(0), key.k1, key.k2), -1);
  EXPECT_EQ(LookupIn(table, SmallRecord(1), key.k1, key.k2), 2);
}

TEST(AccessLookup, OverflowScansForwardThenWrapsAround) {
  const DriveRecord record = SmallRecord();
  // Probed buckets 0, 0, 0, 1: their records 0..3 are full of other keys.
  const Key key = KeyForBuckets(0, 0, 0, 1);

  std::vector<AccessRecord> table = FullOfOthers(9);
  table[8] = AccessRecord{};
  table[6] = Holding(key.k1);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), 6) << "forward from index 4";

  // Probed bucket 1 (records 2, 3) and everything after it taken: the wrap-around scan
  // from 0 to 4 (inclusive) finds it.
  const Key wrapped = KeyForBuckets(1, 1, 1, 1);
  table = FullOfOthers(9);
  table[8] = AccessRecord{};
  table[0] = Holding(wrapped.k1);
  EXPECT_EQ(LookupIn(table, record, wrapped.k1, wrapped.k2), 0);
}

TEST(AccessLookup, WrapAroundReachesTheSpareSlotAfterTheLastBucket) {
  const DriveRecord record = SmallRecord();
  const Key key = KeyForBuckets(0, 1, 2, 3);  // last probe is the last bucket
  std::vector<AccessRecord> table = FullOfOthers(9);
  table[8] = Holding(key.k1);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), 8);
  table[8] = Holding(0x7777777);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), -1);
}

TEST(AccessLookup, FreeSlotEndsOverflowScans) {
  const DriveRecord record = SmallRecord();

  // A free slot in the forward scan ends the search before the key behind it, and
  // before any wrap-around.
  const Key key = KeyForBuckets(0, 0, 0, 1);  // overflow starts at 4
  std::vector<AccessRecord> table = FullOfOthers(9);
  table[5] = AccessRecord{};
  table[6] = Holding(key.k1);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), -1);

  // Probed buckets 1 (records 2, 3); forward 4..7 full; the wrap-around scan 0..4 stops
  // at the free slot 0 before reaching the key at 1.
  const Key wrapped = KeyForBuckets(1, 1, 1, 1);
  table = FullOfOthers(9);
  table[1] = Holding(wrapped.k1);
  EXPECT_EQ(LookupIn(table, record, wrapped.k1, wrapped.k2), 1);
  table[0] = AccessRecord{};
  EXPECT_EQ(LookupIn(table, record, wrapped.k1, wrapped.k2), -1);
}

TEST(AccessLookup, ZeroBucketSizeOnlyLooksAtTheFirstRecord) {
  DriveRecord record = SmallRecord();
  record.bucketSize = 0;
  const Key key = KeyForBuckets(2, 2, 2, 2);
  std::vector<AccessRecord> table(1);
  table[0] = Holding(key.k1);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), 0);
  table[0] = Holding(0x7777777);
  EXPECT_EQ(LookupIn(table, record, key.k1, key.k2), -1);
  EXPECT_EQ(LookupIn({}, record, key.k1, key.k2), -1);
}

// A damaged drive record claims far more records than the table holds: everything
// missing reads as free and nothing outside the table is touched (the sanitizer builds
// catch any stray index).
TEST(AccessLookup, ShortTablesNeverIndexPastTheirEnd) {
  DriveRecord record;
  record.bucketMask = 0xFFFF;
  record.bucketSize = 0xFFFF;
  record.recordsInUse = 5;
  const std::vector<AccessRecord> table = FullOfOthers(10);
  for (std::uint32_t k1 : {0x00000001u, 0xFFFFFFFFu, 0x00050007u}) {
    EXPECT_EQ(LookupIn(table, record, k1, 0xFFFFFFFF), -1);
    EXPECT_EQ(LookupIn(table, record, k1, 0), -1);
  }
  // A mask that is not 2^n - 1: bucket 1000 lies far beyond the 20 records loaded.
  record.bucketMask = 1000;
  record.bucketSize = 3;
  std::vector<AccessRecord> small = FullOfOthers(20);
  EXPECT_EQ(LookupIn(small, record, 1000, 0), -1) << "the scan stops where the table ends";
  small[10] = Holding(1000);
  EXPECT_EQ(LookupIn(small, record, 1000, 0), 10) << "forward scan after bucket 0";
}

TEST(AccessTables, LookupsGoThroughTheInstalledDriveOnly) {
  AccessTables tables;
  const Key key = KeyForBuckets(3, 3, 3, 3);
  std::vector<AccessRecord> table(9);
  table[6] = Holding(key.k1, 42);
  table[6].readOnly = 7;
  tables.Install('E', SmallRecord(), table);

  const std::uint64_t full = (std::uint64_t{key.k2} << 32) | key.k1;
  EXPECT_TRUE(tables.Loaded('E'));
  EXPECT_FALSE(tables.Loaded('D'));
  EXPECT_EQ(tables.Lookup('E', key.k1, key.k2), 6);
  EXPECT_EQ(tables.Lookup('D', key.k1, key.k2), -1);
  ASSERT_NE(tables.Find('E', full), nullptr);
  EXPECT_EQ(tables.Find('E', full)->total, 42u);
  EXPECT_EQ(tables.RecordOrZero('E', full).readOnly, 7u);
  EXPECT_EQ(tables.RecordOrZero('D', full), AccessRecord{});
  EXPECT_EQ(tables.Find('e', full), nullptr);
  EXPECT_TRUE(tables.Table('[').empty());
}

}  // namespace
}  // namespace activity
