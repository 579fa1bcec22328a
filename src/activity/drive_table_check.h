#pragma once
// What "C:\DriveTbl.NVX" must hold before anything trusts it: whole records (or an end
// marker), at most 26 of them, one per drive, each with settings the database pages
// could have made. A table that fails is used by no one and never written back, so a
// damaged file is neither shown, nor questioned about, nor saved over the user's table.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "activity/drive_record.h"

namespace activity {

// Enough bytes to tell a full table from one that goes on past its 26th record.
inline constexpr std::size_t kDriveTableReadLimit = kMaxDriveRecords * kDriveRecordSize + 1;

struct ParsedDriveTable {
  std::vector<DriveRecord> records;  // empty when damaged
  std::string damage;                // what is wrong, in a sentence; empty when sound
};

// Reads the records of a table whose first `length` bytes are `bytes` (a longer file
// is read up to kDriveTableReadLimit). A record whose drive number is 0 ends the table.
ParsedDriveTable ParseDriveTable(const std::uint8_t* bytes, std::size_t length);

// What is wrong with one record (numbered from 1 in the text); empty when it is sound.
std::string RecordDamage(const DriveRecord& record, std::size_t number);

}  // namespace activity
