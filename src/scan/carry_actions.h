#pragma once
// A rescan builds new records for what it lists; the actions the user selected in the
// old ones go with it to the entries of the same name and kind.

#include <cstdint>

#include "scan/folder_info.h"

namespace scan {

// Sets the action and back-up drive of every entry of `fresh` (and below) that has the
// name and kind of an entry of `old` with an action, at the same place. Answers how many
// actions found no such entry: their files are gone.
std::uint32_t CarryActions(const CFolderInfo& old, CFolderInfo& fresh);

}  // namespace scan
