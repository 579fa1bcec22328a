#pragma once
// Turns a hand-off table into the drive list the action engine walks, so the background
// program performs the actions by the very rules of "Perform actions".

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scan/folder_info.h"
#include "shell/handoff_file.h"

namespace platform { class System; }

namespace shell {

// The state a planned entry has until the engine acts on it.
inline constexpr std::uint8_t kStateUntouched = 0xFF;

struct HandedOffAction {
  std::string path;
  std::uint8_t action = 0;
  scan::CFolderInfo* record = nullptr;  // the folder record holding the entry
  std::uint32_t index = 0;
  // The state the entry is in once its action succeeded.
  std::uint8_t SucceededState() const;
  bool Succeeded() const { return record->states()[index] == SucceededState(); }
};

struct HandOffPlan {
  std::unique_ptr<scan::CFolderInfo> driveList;
  std::vector<HandedOffAction> actions;  // in the order the engine performs them
};

// Checks the count and every entry against the drive map before anything is built: each path must
// name something on a mapped drive with no "." or ".." component, and a path may not
// run through something the file calls a file. nullopt (with `error`) otherwise.
std::optional<HandOffPlan> PlanHandOff(const HandOffTable& table, const platform::System& system,
                                       std::string* error);

}  // namespace shell
