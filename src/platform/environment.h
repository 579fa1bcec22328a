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

struct Environment {
  std::string configDir;       // --config-dir, NORVEX_CONFIG_DIR, $XDG_CONFIG_HOME/norvex
  std::string stateDir;        // --state-dir, NORVEX_STATE_DIR, $XDG_STATE_HOME/norvex
  std::string recorderSocket;  // --recorder, NORVEX_RECORDER, $XDG_RUNTIME_DIR/norvex/recorder.sock
  DriveMap drives;             // --drives, NORVEX_DRIVES, else the machine's filesystems
  std::optional<DefaultDrives> defaultDrives;  // how those were chosen; nullopt for a given map

  // Removes the global options it recognises from `args` (which holds the arguments
  // after the program name) and fills the rest from the environment. nullopt with
  // `error` set on a bad value. Creates neither directory.
  static std::optional<Environment> FromArguments(std::vector<std::string>& args,
                                                  std::string* error);
  // One paragraph describing the global options, for --help texts.
  static const char* OptionsHelp();
};

}  // namespace platform
