#include "activity/drive_record.h"

#include <algorithm>

#include "activity/byte_order.h"

namespace activity {

using bytes::GetU16;
using bytes::GetU32;
using bytes::PutU16;
using bytes::PutU32;

std::array<std::uint8_t, kDriveRecordSize> DriveRecord::Serialize() const {
  std::array<std::uint8_t, kDriveRecordSize> out{};
  std::uint8_t* p = out.data();
  p[0] = drive;
  p[1] = location;
  PutU16(p + 2, bucketMask);
  PutU16(p + 4, bucketSize);
  PutU32(p + 6, static_cast<std::uint32_t>(namesState));
  PutU16(p + 10, maxNameSize);
  PutU32(p + 12, spanStart);
  PutU32(p + 16, spanEnd);
  PutU32(p + 20, recordsInUse);
  std::copy(reserved.begin(), reserved.end(), p + 24);
  return out;
}

DriveRecord DriveRecord::Deserialize(const std::uint8_t* p) {
  DriveRecord r;
  r.drive = p[0];
  r.location = p[1];
  r.bucketMask = GetU16(p + 2);
  r.bucketSize = GetU16(p + 4);
  r.namesState = static_cast<std::int32_t>(GetU32(p + 6));
  r.maxNameSize = GetU16(p + 10);
  r.spanStart = GetU32(p + 12);
  r.spanEnd = GetU32(p + 16);
  r.recordsInUse = GetU32(p + 20);
  std::copy(p + 24, p + kDriveRecordSize, r.reserved.begin());
  return r;
}

std::array<std::uint8_t, kAccessRecordSize> AccessRecord::Serialize() const {
  std::array<std::uint8_t, kAccessRecordSize> out{};
  std::uint8_t* p = out.data();
  PutU32(p + 0, key);
  PutU32(p + 4, lastAccess);
  p[8] = lastOperation;
  PutU32(p + 9, readOnly);
  PutU32(p + 13, writeOnly);
  PutU32(p + 17, readWrite);
  PutU32(p + 21, execute);
  PutU32(p + 25, seek);
  PutU32(p + 29, total);
  return out;
}

AccessRecord AccessRecord::Deserialize(const std::uint8_t* p) {
  AccessRecord r;
  r.key = GetU32(p + 0);
  r.lastAccess = GetU32(p + 4);
  r.lastOperation = p[8];
  r.readOnly = GetU32(p + 9);
  r.writeOnly = GetU32(p + 13);
  r.readWrite = GetU32(p + 17);
  r.execute = GetU32(p + 21);
  r.seek = GetU32(p + 25);
  r.total = GetU32(p + 29);
  return r;
}

}  // namespace activity
