#include "cli_databases.h"

#include <ostream>

#include "activity/access_tables.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "platform/system.h"

namespace cli {

bool LoadDatabases(Context& context, shell::AppState& state) {
  state.NetworkName = activity::ReadNetworkNames(context.system);
  const activity::RecorderHold hold(context.system);
  if (!state.driveTable.Load(context.system)) {
    context.err << "norvex-cli: could not open " << activity::kDriveTablePath << "\n";
    return false;
  }
  for (const activity::DriveRecord& record : state.driveTable.NewState()) {
    const char drive = activity::DriveLetter(record.drive);
    if (!state.accessTables.Load(context.system, drive, record)) {
      context.err << "norvex-cli: could not open "
                  << activity::AccessTablePath(activity::DriveLetter(record.location), drive) << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace cli
