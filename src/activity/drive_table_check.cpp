#include "activity/drive_table_check.h"

#include <array>
#include <bit>

#include "activity/database_shape.h"
#include "platform/dos_time.h"

namespace activity {
namespace {

std::string RecordName(std::size_t number) { return "record " + std::to_string(number); }

std::string DriveName(std::uint8_t drive) { return std::string(1, DriveLetter(drive)) + ":"; }

// Every field within what the date-time page can set (month 1-12, day 1-31, hour 0-23,
// minute 0-59, seconds 0-59); the page does not fit the day to the month, nor keep the
// end after the start, so neither is asked here.
bool SpanBoundInRange(std::uint32_t dosDateTime) {
  const platform::SystemTime t = platform::UnpackDosDateTime(dosDateTime);
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour <= 23 &&
         t.minute <= 59 && t.second <= 59;
}

}  // namespace

std::string RecordDamage(const DriveRecord& r, std::size_t number) {
  const std::string name = RecordName(number);
  if (!IsDriveNumber(r.drive)) {
    return name + " names drive number " + std::to_string(r.drive) + ", not 1 (A:) to 26 (Z:)";
  }
  const std::string of = name + " (" + DriveName(r.drive) + ")";
  if (!IsDriveNumber(r.location)) {
    return of + " keeps its database on drive number " + std::to_string(r.location) +
           ", not 1 (A:) to 26 (Z:)";
  }
  if (!std::has_single_bit(std::uint32_t{r.bucketMask} + 1)) {
    return of + " has the bucket mask " + std::to_string(r.bucketMask) +
           ", not one less than a power of two";
  }
  if (r.bucketSize < kMinEfficiency || r.bucketSize > kMaxEfficiency) {
    return of + " has " + std::to_string(r.bucketSize) + " records per bucket, not " +
           std::to_string(kMinEfficiency) + " to " + std::to_string(kMaxEfficiency);
  }
  if (r.namesState < -1) return of + " has the names state " + std::to_string(r.namesState);
  if (r.maxNameSize > kMaxNameSizeLimit) {
    return of + " has names of " + std::to_string(r.maxNameSize) + " bytes, over " +
           std::to_string(kMaxNameSizeLimit);
  }
  // A start of 0 records since always.
  if (r.spanStart != 0 && !SpanBoundInRange(r.spanStart)) return of + " starts recording at no real date";
  if (!SpanBoundInRange(r.spanEnd)) return of + " stops recording at no real date";
  return {};
}

ParsedDriveTable ParseDriveTable(const std::uint8_t* bytes, std::size_t length) {
  ParsedDriveTable parsed;
  std::array<std::size_t, kMaxDriveRecords + 1> numberOf{};  // by drive number; 0 = none yet
  for (std::size_t offset = 0, number = 1; offset < length && bytes[offset] != 0;
       offset += kDriveRecordSize, ++number) {
    if (number > kMaxDriveRecords) {
      parsed.damage = "it goes on after " + std::to_string(kMaxDriveRecords) + " records";
    } else if (length - offset < kDriveRecordSize) {
      parsed.damage = "it ends inside " + RecordName(number) + " (" + std::to_string(length - offset) +
                      " of " + std::to_string(kDriveRecordSize) + " bytes)";
    } else {
      const DriveRecord record = DriveRecord::Deserialize(bytes + offset);
      parsed.damage = RecordDamage(record, number);
      if (parsed.damage.empty()) {  // the drive number is 1 to 26 from here on
        std::size_t& first = numberOf[record.drive];
        if (first != 0) {
          parsed.damage = RecordName(first) + " and " + RecordName(number) + " are both for drive " +
                          DriveName(record.drive);
        }
        first = number;
        parsed.records.push_back(record);
      }
    }
    if (!parsed.damage.empty()) {
      parsed.records.clear();
      return parsed;
    }
  }
  return parsed;
}

}  // namespace activity
