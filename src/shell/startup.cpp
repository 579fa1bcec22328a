#include "shell/startup.h"

#include "activity/recorder_control.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "shell/options.h"
#include "shell/prompter.h"

namespace shell {
namespace {

constexpr std::size_t kLocationIndex = 25;  // the first C of the access-table message
constexpr std::size_t kDriveIndex = 35;     // the C after "FileTbl"
// WNetGetConnectionA answers into a buffer of this size; a longer name does not fit.
constexpr std::size_t kNetworkNameBuffer = 255;

char Letter(int index) { return static_cast<char>('A' + index); }

// The letter of a stored drive number; a damaged number shows as '?' in messages.
char StoredLetter(std::uint8_t number) {
  return number >= 1 && number <= kDriveCount ? static_cast<char>('@' + number) : '?';
}

void Stop(Prompter& prompter, std::string text) {
  prompter.Ask(Message{std::move(text), Buttons::Ok, Icon::Stop});
}

}  // namespace

std::string AccessTableOpenError(char location, char drive) {
  std::string text = kAccessTableOpenError;
  text[kLocationIndex] = location;
  text[kDriveIndex] = drive;
  return text;
}

void RecordCompressibleDrives(AppState& state, const platform::System& system) {
  for (int i = 0; i < kDriveCount; ++i) {
    const auto volume = system.GetVolumeInformation(Letter(i));
    state.CompressibleDrive[i] =
        volume.has_value() && (volume->fileSystemFlags & platform::kFsFileCompression) != 0;
  }
}

void RecordNetworkNames(AppState& state, const platform::System& system) {
  for (int i = 0; i < kDriveCount; ++i) {
    std::string name;
    if (const auto remote = system.GetNetworkConnection(Letter(i));
        remote.has_value() && remote->size() < kNetworkNameBuffer) {
      name = *remote;
      if (!name.empty() && name.front() == '\\') name.erase(0, 1);
    }
    state.NetworkName[i] = std::move(name);
  }
}

void AppendFirstRunRecords(AppState& state, const platform::System& system, OptionStore& options) {
  if (IsOn(options, kExecutedAtLeastOneTimeOption)) return;
  // A new database records from the moment it is created, in local time.
  const std::uint32_t spanStart = platform::DosDateTimeFromLocal(system.Now());
  for (int i = 0; i < kDriveCount; ++i) {
    // A drive table that predates the first run (a prepared machine, a reinstall) keeps
    // its records: AppendDefaultRecord adds none for a drive that has one, since a second
    // would hide the first's database from every lookup and, at exit, replace its file
    // with an empty one.
    if (system.GetDriveType(Letter(i)) == platform::DriveType::Fixed) {
      state.driveTable.AppendDefaultRecord(static_cast<std::uint8_t>(i + 1), spanStart);
    }
  }
  options.Write(kExecutedAtLeastOneTimeOption, kOn);
}

StartupOutcome RunFrameStartup(AppState& state, platform::System& system, Prompter& prompter,
                               OptionStore& options) {
  state.StartupStamp = platform::DosDateTimeNowUtc(system);
  RecordCompressibleDrives(state, system);
  RecordNetworkNames(state, system);

  // The recorder keeps the database files open; it lets go of them until the release.
  // A failure below sends no release: the close that follows holds and releases.
  activity::SendControl(system, activity::IOCTL_RECORDER_HOLD);
  if (!state.driveTable.Load(system)) {
    Stop(prompter, kDriveTableOpenError);
    return StartupOutcome::Close;
  }
  AppendFirstRunRecords(state, system, options);
  for (const activity::DriveRecord& record : state.driveTable.NewState()) {
    const char drive = StoredLetter(record.drive);
    if (!state.accessTables.Load(system, drive, record)) {
      Stop(prompter, AccessTableOpenError(StoredLetter(record.location), drive));
      return StartupOutcome::Close;
    }
  }
  activity::SendControl(system, activity::IOCTL_RECORDER_RELEASE);
  return StartupOutcome::Ready;
}

}  // namespace shell
