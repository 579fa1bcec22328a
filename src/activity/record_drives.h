#pragma once
// A drive record belongs to the filesystems its letters stood for when it was made: the
// watched drive and the drive holding its files. Once either letter stands for another
// filesystem, the record is neither loaded, counted into nor changed.

#include <optional>
#include <string>

#include "activity/drive_record.h"

namespace platform { class System; }

namespace activity {

// Why `record` must not be applied, naming the drive that changed; nullopt when neither did.
std::optional<std::string> RecordDriveChange(const platform::System& system, const DriveRecord& record);

}  // namespace activity
