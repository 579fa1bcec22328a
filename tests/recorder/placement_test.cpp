// The recorder's placement must put every key where the program's lookup finds it.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "activity/access_tables.h"
#include "activity/recorder/placement.h"

namespace {

using activity::AccessRecord;
using activity::DriveRecord;
using activity::LookupIn;
using activity::recorder::FindOrPlace;

DriveRecord SmallRecord(std::uint16_t mask, std::uint16_t size) {
  DriveRecord record;
  record.drive = 4;
  record.bucketMask = mask;
  record.bucketSize = size;
  return record;
}

// Places the key and checks that the lookup finds it at the same index.
std::int64_t PlaceAndFind(std::vector<AccessRecord>& table, DriveRecord& record, std::uint32_t k1,
                          std::uint32_t k2) {
  bool created = false;
  const std::int64_t index = activity::recorder::FindOrPlace(table, record, k1, k2, &created);
  if (created) ++record.recordsInUse;
  if (index >= 0) {
    EXPECT_EQ(LookupIn(table, record, k1, k2), index) << "key " << k1;
  }
  return index;
}

// k1 and k2 chosen so that all four probed buckets are `bucket` (mask 3).
std::uint32_t SameBuckets(std::uint32_t bucket, std::uint32_t serial) {
  return (serial << 18) | (bucket << 16) | (serial << 2) | bucket;
}

TEST(Placement, FillsTheProbedBucketsThenOverflowsForwardThenWraps) {
  DriveRecord record = SmallRecord(3, 2);  // 4 buckets of 2: capacity 8
  std::vector<AccessRecord> table(record.Capacity() + 1);

  // Every key probes bucket 1 only (indices 2, 3); overflow starts at index 4.
  std::vector<std::int64_t> places;
  for (std::uint32_t serial = 1; serial <= 7; ++serial) {
    const std::uint32_t key = SameBuckets(1, serial);
    places.push_back(PlaceAndFind(table, record, key, key));
  }
  EXPECT_EQ(places, (std::vector<std::int64_t>{2, 3, 4, 5, 6, 7, 0}));
  EXPECT_EQ(record.recordsInUse, 7u);

  // Counting a known key again finds it and creates nothing.
  bool created = true;
  EXPECT_EQ(FindOrPlace(table, record, SameBuckets(1, 5), SameBuckets(1, 5), &created), 6);
  EXPECT_FALSE(created);

  // The wrap-around reaches index 1, the last free slot; after that the table is full
  // and the spare slot behind the capacity stays free.
  EXPECT_EQ(PlaceAndFind(table, record, SameBuckets(1, 8), SameBuckets(1, 8)), 1);
  EXPECT_EQ(PlaceAndFind(table, record, SameBuckets(1, 9), SameBuckets(1, 9)), -1);
  EXPECT_EQ(table.back().key, 0u);
}

TEST(Placement, LastBucketOverflowsStraightIntoTheWrapAround) {
  DriveRecord record = SmallRecord(3, 2);
  std::vector<AccessRecord> table(record.Capacity() + 1);
  // Bucket 3 is the last: its overflow begins at the capacity, so the forward scan is
  // empty and the wrap-around starts at index 0.
  EXPECT_EQ(PlaceAndFind(table, record, SameBuckets(3, 1), SameBuckets(3, 1)), 6);
  EXPECT_EQ(PlaceAndFind(table, record, SameBuckets(3, 2), SameBuckets(3, 2)), 7);
  EXPECT_EQ(PlaceAndFind(table, record, SameBuckets(3, 3), SameBuckets(3, 3)), 0);
}

TEST(Placement, RefusesKeyZeroAndShortTables) {
  DriveRecord record = SmallRecord(3, 2);
  std::vector<AccessRecord> table(record.Capacity() + 1);
  bool created = false;
  EXPECT_EQ(FindOrPlace(table, record, 0, 5, &created), -1);
  std::vector<AccessRecord> shortTable(record.Capacity());
  EXPECT_EQ(FindOrPlace(shortTable, record, 7, 5, &created), -1);
  DriveRecord noBuckets = SmallRecord(3, 0);
  std::vector<AccessRecord> none(1);
  EXPECT_EQ(FindOrPlace(none, noBuckets, 7, 5, &created), -1);
}

TEST(Placement, RandomKeysUntilFullAreAllFoundWhereTheyWerePut) {
  for (const auto& [mask, size] : {std::pair<std::uint16_t, std::uint16_t>{0, 1}, {7, 3}, {63, 4}, {15, 17}}) {
    DriveRecord record = SmallRecord(mask, size);
    std::vector<AccessRecord> table(record.Capacity() + 1);
    std::mt19937 random(mask * 31u + size);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> placed;
    std::set<std::uint32_t> seen;
    while (placed.size() < record.Capacity()) {
      const std::uint32_t k1 = random() | 1u;
      const std::uint32_t k2 = random();
      if (!seen.insert(k1).second) continue;
      ASSERT_GE(PlaceAndFind(table, record, k1, k2), 0) << "mask " << mask << " size " << size;
      placed.emplace_back(k1, k2);
    }
    EXPECT_EQ(PlaceAndFind(table, record, 2, 2), -1);
    for (const auto& [k1, k2] : placed) EXPECT_GE(LookupIn(table, record, k1, k2), 0);
    EXPECT_EQ(record.recordsInUse, record.Capacity());
  }
}

}  // namespace
