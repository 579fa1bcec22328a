// The packed little-endian layouts the recorder shares: every field at its offset.

#include <gtest/gtest.h>

#include <numeric>

#include "activity/drive_record.h"

namespace activity {
namespace {

TEST(RecordFormat, DriveRecordFieldsSitAtTheirOffsets) {
  DriveRecord record;
  record.drive = 0x04;
  record.location = 0x05;
  record.bucketMask = 0x0102;
  record.bucketSize = 0x0304;
  record.namesState = -1;
  record.maxNameSize = 0x0506;
  record.spanStart = 0x0708090A;
  record.spanEnd = kNoSpanEnd;
  record.recordsInUse = 0x11223344;
  std::iota(record.reserved.begin(), record.reserved.end(), std::uint8_t{0xA0});

  const auto bytes = record.Serialize();
  const std::array<std::uint8_t, 24> head = {0x04, 0x05, 0x02, 0x01, 0x04, 0x03, 0xFF, 0xFF,
                                             0xFF, 0xFF, 0x06, 0x05, 0x0A, 0x09, 0x08, 0x07,
                                             0x7D, 0xBF, 0x9F, 0xEF, 0x44, 0x33, 0x22, 0x11};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  EXPECT_EQ(bytes[24], 0xA0);
  EXPECT_EQ(bytes[58], 0xA0 + 34);
  EXPECT_EQ(DriveRecord::Deserialize(bytes.data()), record);
}

TEST(RecordFormat, AccessRecordFieldsSitAtTheirOffsets) {
  std::array<std::uint8_t, kAccessRecordSize> bytes{};
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
  const AccessRecord record = AccessRecord::Deserialize(bytes.data());
  EXPECT_EQ(record.key, 0x04030201u);
  EXPECT_EQ(record.lastAccess, 0x08070605u);
  EXPECT_EQ(record.lastOperation, 9);
  EXPECT_EQ(record.readOnly, 0x0D0C0B0Au);
  EXPECT_EQ(record.writeOnly, 0x11100F0Eu);
  EXPECT_EQ(record.readWrite, 0x15141312u);
  EXPECT_EQ(record.execute, 0x19181716u);
  EXPECT_EQ(record.seek, 0x1D1C1B1Au);
  EXPECT_EQ(record.total, 0x21201F1Eu);
  EXPECT_EQ(record.Serialize(), bytes);
}

}  // namespace
}  // namespace activity
