#pragma once
// The frame's start-up step: everything the program learns before the user sees the
// window. Records which drives compress and which are network drives, takes the stamp
// the hints measure ages against, and loads the activity databases while the recorder
// holds them, creating the default drive records on the very first run.

#include <string>

#include "activity/app_state.h"

namespace platform { class System; }
namespace common { class Prompter; }

namespace shell {

class OptionStore;


enum class StartupOutcome {
  Ready,  // the panes start next (perhaps without activity databases: the table is damaged)
  Close,  // a database could not be opened: the user was told, the program closes
};

inline constexpr const char* kDriveTableOpenError = "Could not open the file: C:\\DriveTbl.NVX !";
// The access-table variant: index 25 becomes the location drive's letter, index 35 the
// watched drive's letter.
inline constexpr const char* kAccessTableOpenError = "Could not open the file: C:\\FileTblC.NVX !";
inline constexpr const char* kDamagedDriveTableHead = "The drive table ";
inline constexpr const char* kDamagedDriveTableMiddle = " is damaged: ";
inline constexpr const char* kDamagedDriveTableTail =
    ".\n\nFile Norvex runs without activity databases this time and leaves the file as it is.";

// The text naming the access table of `drive` stored on `location`.
std::string AccessTableOpenError(char location, char drive);
// A could-not-open message with the real file's host path after its drive path.
std::string MessageWithHostPath(const platform::System& system, std::string message);

StartupOutcome RunFrameStartup(activity::AppState& state, platform::System& system, common::Prompter& prompter,
                               OptionStore& options);

// The steps on their own, in the order RunFrameStartup takes them.
void RecordCompressibleDrives(activity::AppState& state, const platform::System& system);
void RecordNetworkNames(activity::AppState& state, const platform::System& system);
// The first run's default drive records: one per fixed drive, in letter order. They are
// saved with their database files at once (the recorder is holding them), and only then
// does the first run count as done: a run that never reaches its exit loses nothing.
void CreateFirstRunRecords(activity::AppState& state, platform::System& system, common::Prompter& prompter,
                           OptionStore& options);

}  // namespace shell
