#include "activity/drive_database_switch.h"

namespace activity {

DriveDatabaseSwitch::DriveDatabaseSwitch(DriveTable& table, std::uint8_t driveNumber)
    : table_(table), drive_(driveNumber) {
  const int index = table_.Find(drive_);
  if (index >= 0) saved_ = table_.NewState()[static_cast<std::size_t>(index)];
}

bool DriveDatabaseSwitch::SwitchOn(std::uint32_t spanStart) {
  if (HasRecord()) return true;
  const int old = table_.Find(drive_, TableState::Old);
  if (old < 0) return table_.AppendDefaultRecord(drive_, spanStart);
  if (table_.NewState().size() >= kMaxDriveRecords) return false;
  table_.NewState().push_back(table_.OldState()[static_cast<std::size_t>(old)]);
  return true;
}

void DriveDatabaseSwitch::SwitchOff() {
  const int index = table_.Find(drive_);
  if (index >= 0) table_.NewState().erase(table_.NewState().begin() + index);
}

void DriveDatabaseSwitch::Restore() {
  const int index = table_.Find(drive_);
  if (saved_) {
    if (index >= 0) {
      table_.NewState()[static_cast<std::size_t>(index)] = *saved_;
    } else {
      table_.NewState().push_back(*saved_);
    }
  } else {
    SwitchOff();
  }
}

}  // namespace activity
