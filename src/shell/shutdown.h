#pragma once
// Closing the main frame: refuse while a scan runs, hand unperformed actions to the
// background program, then, with the recorder holding its files, apply the database
// configuration, save the drive table and release the recorder.

#include <functional>
#include <string>

#include "activity/app_state.h"

namespace platform { class System; }
namespace common { class Prompter; }
namespace scan { class CFolderInfo; }

namespace shell {



inline constexpr const char* kStopScanningFirst = "Stop scanning first !";
inline constexpr const char* kPendingActionsQuestion =
    "There are some actions you selected but were not processed.\nDo you really want to quit File Norvex ?";
inline constexpr const char* kRunShadowNote =
    "To perform selected actions in background mode run File Norvex Shadow.";
// Follows kRunShadowNote with the hand-off file's full path.
inline constexpr const char* kHandOffWrittenTo = "\nThe actions wait in ";
inline constexpr const char* kCantOpenHandOff = "Can't open file 'ShadowTbl.NVX'.";
inline constexpr const char* kCantSaveConfiguration = "Can't save new configuration !";

struct ShutdownInputs {
  activity::AppState& state;
  platform::System& system;
  common::Prompter& prompter;
  // The folders tree's drive list; null when the panes never started (nothing to hand off).
  const scan::CFolderInfo* driveList = nullptr;
  // Whether a scan worker exists; by default ScanInProgress.
  std::function<bool()> scanRunning;
  // Where "ShadowTbl.NVX" goes: the current directory unless a test says otherwise.
  std::string handOffDirectory = ".";
};

// Runs the close sequence; true when the frame may close now, false when it stays open
// (scan running, the user declined, or the drive table could not be saved).
bool RunShutdown(const ShutdownInputs& inputs);

}  // namespace shell
