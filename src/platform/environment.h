#pragma once
// Where a run keeps its files and which drives it sees, from the global options
// (--drives, --state-dir, --config-dir, --recorder), the NORVEX_* variables and the
// XDG defaults. Shared by the program and every companion executable.

#include <optional>
#include <string>
#include <vector>

#include "platform/default_drives.h"
#include "platform/drive_map.h"

namespace platform {

// The state the package sets up for the whole machine: one recorder, one drive table.
struct MachinePaths {
  std::string stateDir = "/var/lib/norvex";
  std::string recorderSocket = "/run/norvex/recorder.sock";
  // The running program's file, to tell an installed program from one in a build tree.
  std::string executable;

  // The real paths, with the executable read from /proc/self/exe.
  static MachinePaths OfThisMachine();
};

struct Environment {
  std::string configDir;       // --config-dir, NORVEX_CONFIG_DIR, $XDG_CONFIG_HOME/norvex
  std::string stateDir;        // --state-dir, NORVEX_STATE_DIR, $XDG_STATE_HOME/norvex
  std::string recorderSocket;  // --recorder, NORVEX_RECORDER, $XDG_RUNTIME_DIR/norvex/recorder.sock
  DriveMap drives;             // --drives, NORVEX_DRIVES, else the machine's filesystems
  std::optional<DefaultDrives> defaultDrives;  // how those were chosen; nullopt for a given map
  // Drives whose letter stood for another filesystem before (platform/mapped_letters.h).
  DriveChanges driveChanges;
  // The identity of each drive's filesystem, as the drive-letters file keeps it.
  DriveIdentityTexts driveIdentities;
  // The state folder is the machine's (installed program, no folder named): it is
  // shared by every user's program, so per-user options no longer speak for it.
  bool machineState = false;

  // Removes the global options it recognises from `args` (which holds the arguments
  // after the program name) and fills the rest from the environment. nullopt with
  // `error` set on a bad value. Creates neither directory.
  // With neither --state-dir nor NORVEX_STATE_DIR, an installed program (under /usr)
  // uses the machine's state folder when it exists, and the machine's socket unless one
  // is named; anything else uses the per-user folders.
  static std::optional<Environment> FromArguments(std::vector<std::string>& args,
                                                  std::string* error);
  static std::optional<Environment> FromArguments(std::vector<std::string>& args, std::string* error,
                                                  const MachinePaths& machine);
  // One paragraph describing the global options, for --help texts.
  static const char* OptionsHelp();
};

// The name the user logs in with (for messages); empty when the account has none.
std::string LoginName();

// A state folder shared by a group (setgid, as the package makes it) must stay writable
// for the group's other members and the recorder: this process then creates its files
// without taking the group's write permission away (umask 007 at most).
void ShareNewFilesWithStateGroup(const std::string& stateDir);

}  // namespace platform
