#include "shell/shutdown.h"

#include <filesystem>
#include <system_error>

#include "activity/apply_configuration.h"
#include "activity/recorder_control.h"
#include "scan/folder_info.h"
#include "shell/handoff_file.h"
#include "common/prompter.h"

namespace shell {
namespace {

std::string HandOffPath(const std::string& directory) {
  std::error_code error;
  const std::filesystem::path file = std::filesystem::path(directory) / kHandOffFileName;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  return (error ? file : absolute).lexically_normal().string();
}

// False when the user wants to keep the program running.
bool HandOffPendingActions(const ShutdownInputs& in) {
  const std::uint32_t pending = in.state.PendingActionCount.load();
  if (pending == 0) return true;
  if (in.prompter.Ask({kPendingActionsQuestion, common::Buttons::YesNo, common::Icon::Stop}) != common::Answer::Yes) {
    return false;
  }
  const scan::CFolderInfo empty;
  const std::vector<std::uint8_t> bytes =
      EncodeHandOff(in.driveList ? *in.driveList : empty, pending);
  // Written first, so that the note can say where the actions wait.
  const bool written = WriteHandOffFile(in.handOffDirectory, bytes);
  std::string note = kRunShadowNote;
  if (written) note += kHandOffWrittenTo + HandOffPath(in.handOffDirectory);
  in.prompter.Ask({note, common::Buttons::Ok, common::Icon::None});
  if (!written) in.prompter.Ask({kCantOpenHandOff, common::Buttons::Ok, common::Icon::None});
  return true;
}

// False when the user gave up on saving. The recorder has written its counts into the
// table since start-up; only the program's own edits go on top of them.
bool SaveDriveTable(const ShutdownInputs& in) {
  while (!in.state.driveTable.SaveOwnEdits(in.system)) {
    const common::Answer answer = in.prompter.Ask(
        {kCantSaveConfiguration, common::Buttons::AbortRetryIgnore, common::Icon::Stop, common::Answer::Retry});
    if (answer != common::Answer::Retry) return false;
  }
  return true;
}

}  // namespace

bool RunShutdown(const ShutdownInputs& in) {
  const bool scanning = in.scanRunning ? in.scanRunning() : in.state.ScanInProgress.load();
  if (scanning) {
    in.prompter.Ask({kStopScanningFirst, common::Buttons::Ok, common::Icon::Stop});
    return false;
  }
  if (!HandOffPendingActions(in)) return false;
  if (in.state.ActivityRefused) return true;  // nothing of the recorder's was borrowed

  activity::SendControl(in.system, activity::IOCTL_RECORDER_HOLD);
  // Once applied, the new state is also the old one: a close after a failed save does
  // not move or rebuild the databases a second time.
  if (in.state.driveTable.Loaded()) {
    activity::ApplyConfiguration(in.state.driveTable, in.system, in.prompter);
  }
  if (!SaveDriveTable(in)) return false;  // the recorder stays on hold, as the user chose
  activity::SendControl(in.system, activity::IOCTL_RECORDER_RELEASE);
  return true;
}

}  // namespace shell
