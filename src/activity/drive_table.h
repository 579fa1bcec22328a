#pragma once
// "C:\DriveTbl.NVX": the machine-wide table of watched drives, in its new (edited) and
// old (as loaded) states.

#include <cstdint>
#include <vector>

#include "activity/drive_record.h"

namespace platform { class System; }

namespace activity {

enum class TableState { New, Old };

inline constexpr const char* kDriveTablePath = "C:\\DriveTbl.NVX";

class DriveTable {
 public:
  // Reads the file (creating it empty when missing); false when it cannot be opened or
  // read. Both states become the leading records whose drive number is not 0.
  bool Load(platform::System& system);
  // Writes the new state (temp file, flush, rename); true when never loaded.
  bool Save(platform::System& system) const;

  // Appends a record with the defaults to the new state only; false when the drive
  // already has a record there or the table holds the most records the file can take.
  bool AppendDefaultRecord(std::uint8_t driveNumber, std::uint32_t spanStart);
  // Index of the drive's record in that state, -1 when absent.
  int Find(std::uint8_t driveNumber, TableState state = TableState::New) const;
  std::uint64_t Capacity(int index) const;  // of the new state; 0 for a bad index
  // Records in use × 100 / capacity, at most 100; 0 for a capacity of 0 or a bad index.
  std::uint32_t FillPercentage(int index, TableState state = TableState::New) const;

  std::vector<DriveRecord>& NewState() { return newState_; }
  const std::vector<DriveRecord>& NewState() const { return newState_; }
  const std::vector<DriveRecord>& OldState() const { return oldState_; }
  const std::vector<DriveRecord>& State(TableState s) const {
    return s == TableState::New ? newState_ : oldState_;
  }
  bool Loaded() const { return loaded_; }
  // Once the database files match the new state, it becomes the old one, so a later
  // apply does not repeat the file operations.
  void AcceptNewState() { oldState_ = newState_; }

 private:
  std::vector<DriveRecord> newState_;
  std::vector<DriveRecord> oldState_;
  bool loaded_ = false;
};

}  // namespace activity
