#pragma once
// Switching a drive's active database on and off from its property sheet, and putting
// the drive's record back as it stood when the sheet opened.

#include <cstdint>
#include <optional>

#include "activity/drive_record.h"
#include "activity/drive_table.h"

namespace activity {

class DriveDatabaseSwitch {
 public:
  // Remembers the drive's record in the new state as it stands now.
  DriveDatabaseSwitch(DriveTable& table, std::uint8_t driveNumber);

  bool HadRecord() const { return saved_.has_value(); }
  bool HasRecord() const { return table_.Find(drive_) >= 0; }
  // On: appends the old state's record, or the defaults starting at `spanStart`; false
  // when the table is full. Nothing changes when the drive already has a record.
  bool SwitchOn(std::uint32_t spanStart);
  // Off: removes the drive's record from the new state (later records move up).
  void SwitchOff();
  // Puts the drive's record back as it stood at construction.
  void Restore();

 private:
  DriveTable& table_;
  std::uint8_t drive_;
  std::optional<DriveRecord> saved_;
};

}  // namespace activity
