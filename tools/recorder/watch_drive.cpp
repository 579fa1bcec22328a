#include "watch_drive.h"

#include <charconv>
#include <ostream>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/recorder_control.h"
#include "platform/environment.h"
#include "platform/dos_time.h"

namespace recorder_tool {
namespace {

std::optional<char> Letter(const std::string& text) {
  if ((text.size() == 2 && text[1] == ':') || text.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (c >= 'A' && c <= 'Z') return c;
  }
  return std::nullopt;
}

std::optional<unsigned> Number(const std::string& text, unsigned low, unsigned high) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

int RunWatch(platform::System& system, const std::vector<std::string>& args, std::ostream& err) {
  activity::DriveRecord defaults;
  defaults.spanStart = platform::DosDateTimeFromLocal(system.Now());
  std::vector<char> drives;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--location" && hasValue) {
      const auto letter = Letter(args[++i]);
      if (!letter) return err << "norvex-recorder: --location needs a drive letter\n", 2;
      defaults.location = activity::DriveNumber(*letter);
    } else if (arg == "--buckets" && hasValue) {
      const auto bits = Number(args[++i], 0, 16);
      if (!bits) return err << "norvex-recorder: --buckets needs a power of two from 0 to 16\n", 2;
      defaults.bucketMask = static_cast<std::uint16_t>((1u << *bits) - 1);
    } else if (arg == "--bucket-size" && hasValue) {
      const auto size = Number(args[++i], 1, 17);
      if (!size) return err << "norvex-recorder: --bucket-size needs 1 to 17\n", 2;
      defaults.bucketSize = static_cast<std::uint16_t>(*size);
    } else if (arg == "--since" && hasValue) {
      const auto since = platform::ParseDosDateTime(args[++i]);
      if (!since) return err << "norvex-recorder: --since needs a local time \"YYYY-MM-DD HH:MM:SS\"\n", 2;
      defaults.spanStart = *since;
    } else if (arg == "--names") {
      defaults.namesState = 0;
    } else if (const auto letter = Letter(arg)) {
      drives.push_back(*letter);
    } else {
      err << "norvex-recorder: unknown argument '" << arg << "'\n";
      return 2;
    }
  }
  if (drives.empty()) return err << "norvex-recorder: watch needs at least one drive\n", 2;

  const activity::RecorderHold hold(system);
  if (hold.Refused()) {
    err << "norvex-recorder: " << activity::MembersOnlyNote(platform::LoginName()) << "\n";
    return 1;
  }
  activity::DriveTable table;
  if (!table.Load(system)) {
    if (table.Damage().empty()) {
      err << "norvex-recorder: could not open " << activity::kDriveTablePath << "\n";
    } else {
      err << "norvex-recorder: " << activity::kDriveTablePath << " is damaged: " << table.Damage()
          << "; not changing it\n";
    }
    return 1;
  }
  for (const char drive : drives) {
    if (table.Find(activity::DriveNumber(drive)) >= 0) continue;
    activity::DriveRecord record = defaults;
    record.drive = activity::DriveNumber(drive);
    if (table.NewState().size() >= activity::kMaxDriveRecords) {
      err << "norvex-recorder: the drive table is full\n";
      return 1;
    }
    const std::string path = activity::AccessTablePath(activity::DriveLetter(record.location), drive);
    if (!activity::CreateZeroFilledFile(system, path, record.Capacity() * activity::kAccessRecordSize)) {
      err << "norvex-recorder: could not create " << path << "\n";
      return 1;
    }
    // A new database has recorded nothing yet, whatever a file left there says.
    system.DeleteFile(activity::CoverageFilePath(activity::DriveLetter(record.location), drive));
    if (record.namesState != -1 &&
        !activity::CreateZeroFilledFile(system, activity::NameTablePath(activity::DriveLetter(record.location), drive),
                                        record.Capacity() * record.maxNameSize)) {
      err << "norvex-recorder: could not create the name table of " << drive << ":\n";
      return 1;
    }
    table.NewState().push_back(record);
  }
  if (!table.Save(system)) {
    err << "norvex-recorder: could not write " << activity::kDriveTablePath << "\n";
    return 1;
  }
  return 0;
}

}  // namespace recorder_tool
