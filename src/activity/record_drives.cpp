#include "activity/record_drives.h"

#include "platform/system.h"

namespace activity {

std::optional<std::string> RecordDriveChange(const platform::System& system, const DriveRecord& record) {
  const char drive = DriveLetter(record.drive);
  if (auto change = system.DriveChange(drive)) {
    return *change + ": the activity database of " + drive + ": is not used";
  }
  if (auto change = system.DriveChange(DriveLetter(record.location))) {
    return *change + ": the activity database of " + drive + ": kept there is not used";
  }
  return std::nullopt;
}

}  // namespace activity
