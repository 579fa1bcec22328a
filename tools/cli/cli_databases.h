#pragma once
// Loading the activity databases as the program's start-up does, for the commands that
// scan.

#include "activity/drive_table.h"
#include "command.h"
#include "activity/app_state.h"

namespace cli {

// Why `table` did not load (it could not be opened, or is damaged: then the real file
// and what is wrong), on context.err; the exit code that goes with it.
int ReportUnloadedTable(Context& context, const activity::DriveTable& table);

// The recorder refused this user its files: says why and how to join, on context.err;
// the exit code that goes with it.
int ReportRefused(Context& context);

// The network names, then the drive table and every watched drive's access table,
// read while the recorder holds its files. False (with a message on context.err) when one cannot be read.
bool LoadDatabases(Context& context, activity::AppState& state);

}  // namespace cli
