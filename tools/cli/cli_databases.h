#pragma once
// Loading the activity databases as the program's start-up does, for the commands that
// scan.

#include "command.h"
#include "shell/app_state.h"

namespace cli {

// The network names, then the drive table and every watched drive's access table,
// read while the recorder holds its files. False (with a message on context.err) when one cannot be read.
bool LoadDatabases(Context& context, shell::AppState& state);

}  // namespace cli
