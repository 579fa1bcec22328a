#include "shell/startup.h"

#include "activity/apply_configuration.h"
#include "activity/database_files.h"
#include "activity/record_drives.h"
#include "activity/recorder_control.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "shell/options.h"
#include "common/prompter.h"

namespace shell {
namespace {

// Where the drive path of a could-not-open message starts ("Could not open the file: ")
// and how far before the end it stops (" !").
constexpr std::size_t kPathStart = 25;
constexpr std::size_t kPathEndFromBack = 2;
constexpr std::size_t kLocationIndex = kPathStart;  // the first C of the access-table message
constexpr std::size_t kDriveIndex = 35;             // the C after "FileTbl"
// WNetGetConnectionA answers into a buffer of this size; a longer name does not fit.
constexpr std::size_t kNetworkNameBuffer = 255;

char Letter(int index) { return static_cast<char>('A' + index); }

void Stop(common::Prompter& prompter, std::string text) {
  prompter.Ask(common::Message{std::move(text), common::Buttons::Ok, common::Icon::Stop});
}

}  // namespace

std::string AccessTableOpenError(char location, char drive) {
  std::string text = kAccessTableOpenError;
  text[kLocationIndex] = location;
  text[kDriveIndex] = drive;
  return text;
}

std::string MessageWithHostPath(const platform::System& system, std::string message) {
  const std::size_t end = message.size() - kPathEndFromBack;
  const std::string path = message.substr(kPathStart, end - kPathStart);
  return message.replace(kPathStart, path.size(), activity::WithHostPath(system, path));
}

void RecordCompressibleDrives(activity::AppState& state, const platform::System& system) {
  for (int i = 0; i < activity::kDriveCount; ++i) {
    const auto volume = system.GetVolumeInformation(Letter(i));
    state.CompressibleDrive[i] =
        volume.has_value() && (volume->fileSystemFlags & platform::kFsFileCompression) != 0;
  }
}

void RecordNetworkNames(activity::AppState& state, const platform::System& system) {
  for (int i = 0; i < activity::kDriveCount; ++i) {
    std::string name;
    if (const auto remote = system.GetNetworkConnection(Letter(i));
        remote.has_value() && remote->size() < kNetworkNameBuffer) {
      name = *remote;
      if (!name.empty() && name.front() == '\\') name.erase(0, 1);
    }
    state.NetworkName[i] = std::move(name);
  }
}

void CreateFirstRunRecords(activity::AppState& state, platform::System& system, common::Prompter& prompter,
                           OptionStore& options) {
  if (IsOn(options, kExecutedAtLeastOneTimeOption)) return;
  // A new database records from the moment it is created, in local time.
  const std::uint32_t spanStart = platform::DosDateTimeFromLocal(system.Now());
  bool appended = false;
  for (int i = 0; i < activity::kDriveCount; ++i) {
    // A drive table that predates the first run (a prepared machine, a reinstall) keeps
    // its records: AppendDefaultRecord adds none for a drive that has one, since a second
    // would hide the first's database from every lookup and, at exit, replace its file
    // with an empty one.
    if (system.GetDriveType(Letter(i)) == platform::DriveType::Fixed) {
      const auto drive = static_cast<std::uint8_t>(i + 1);
      appended = state.driveTable.AppendDefaultRecord(drive, spanStart) || appended;
    }
  }
  if (appended) {
    // Creates the new databases' files; a failed save leaves the records to the exit,
    // which creates and saves them again, and the first run to the next start.
    activity::ApplyConfiguration(state.driveTable, system, prompter);
    if (!state.driveTable.SaveOwnEdits(system)) return;
  }
  options.Write(kExecutedAtLeastOneTimeOption, kOn);
}

StartupOutcome RunFrameStartup(activity::AppState& state, platform::System& system, common::Prompter& prompter,
                               OptionStore& options) {
  state.StartupStamp = platform::DosDateTimeNowUtc(system);
  RecordCompressibleDrives(state, system);
  RecordNetworkNames(state, system);

  // The recorder keeps the database files open; it lets go of them until the release.
  // A failure below sends no release: the close that follows holds and releases.
  if (activity::SendControl(system, activity::IOCTL_RECORDER_HOLD) == platform::RecorderReply::Refused) {
    // The machine keeps activity for others: no table is read, and none is created.
    state.ActivityRefused = true;
    return StartupOutcome::Ready;
  }
  if (!state.driveTable.Load(system)) {
    if (state.driveTable.Damage().empty()) {
      Stop(prompter, MessageWithHostPath(system, kDriveTableOpenError));
      return StartupOutcome::Close;
    }
    // The table stays unloaded: no database is read or created, and nothing writes the
    // file, so the user can repair or replace it.
    Stop(prompter, kDamagedDriveTableHead + activity::WithHostPath(system, activity::kDriveTablePath) +
                       kDamagedDriveTableMiddle + state.driveTable.Damage() + kDamagedDriveTableTail);
    activity::SendControl(system, activity::IOCTL_RECORDER_RELEASE);
    return StartupOutcome::Ready;
  }
  CreateFirstRunRecords(state, system, prompter, options);
  for (const activity::DriveRecord& record : state.driveTable.NewState()) {
    const char drive = activity::DriveLetter(record.drive);
    if (const auto change = activity::RecordDriveChange(system, record)) {
      // Counts of one disk shown on another, or its database made there, would be worse
      // than none: the record stays in the table for the disk's return.
      Stop(prompter, *change + ".");
      continue;
    }
    if (!state.accessTables.Load(system, drive, record)) {
      const char location = activity::DriveLetter(record.location);
      Stop(prompter, MessageWithHostPath(system, AccessTableOpenError(location, drive)));
      return StartupOutcome::Close;
    }
    // Read while the recorder holds its files; a damaged one only withholds hints.
    state.coverage[static_cast<std::size_t>(activity::DriveIndex(drive))] =
        activity::LoadCoverage(system, activity::DriveLetter(record.location), drive, system.Now());
  }
  activity::SendControl(system, activity::IOCTL_RECORDER_RELEASE);
  return StartupOutcome::Ready;
}

}  // namespace shell
