#pragma once
// "C:\DriveTbl.NVX": the machine-wide table of watched drives, in its new (edited) and
// old (as loaded) states.

#include <cstdint>
#include <string>
#include <vector>

#include <optional>

#include "activity/drive_record.h"
#include "activity/drive_table_check.h"

namespace platform { class System; }

namespace activity {

enum class TableState { New, Old };

inline constexpr const char* kDriveTablePath = "C:\\DriveTbl.NVX";

class DriveTable {
 public:
  // Reads the file (creating it empty when missing); false when it cannot be opened or
  // read, or holds a damaged table (Damage() then says what is wrong; the file is left
  // exactly as it is). Both states become the leading records whose drive number is
  // not 0. A failed load changes nothing in memory either.
  bool Load(platform::System& system);
  // Why the last Load refused the file; empty when it loaded or could not be opened.
  const std::string& Damage() const { return damage_; }

  // Writes the new state whole (temp file, flush, rename); true when never loaded. For
  // the table's only writer, the recorder, and tools that own the table meanwhile.
  bool Save(platform::System& system);
  // The program's save: reads the file again (the recorder may have written it since
  // this object last did) and writes it back with only the edits made here since the
  // last load or save (see MergeOwnEdits). True when never loaded; false when the file cannot be read,
  // has become damaged, or cannot be written, and then the file stays as it was.
  bool SaveOwnEdits(platform::System& system);

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
  // The file's records and why they are refused; nullopt when it cannot be read.
  std::optional<ParsedDriveTable> ReadFile(platform::System& system);
  bool WriteFile(platform::System& system, const std::vector<DriveRecord>& records);

  std::vector<DriveRecord> newState_;
  std::vector<DriveRecord> oldState_;
  // The records as last loaded or saved here: the program's own edits are what differs.
  std::vector<DriveRecord> savedState_;
  std::string damage_;
  bool loaded_ = false;
};

}  // namespace activity
