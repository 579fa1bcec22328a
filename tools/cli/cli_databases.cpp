#include "cli_databases.h"

#include <ostream>

#include "activity/access_tables.h"
#include "activity/app_state.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "platform/environment.h"
#include "platform/system.h"

namespace cli {

int ReportUnloadedTable(Context& context, const activity::DriveTable& table) {
  if (table.Damage().empty()) {
    context.err << "norvex-cli: could not open " << activity::WithHostPath(context.system, activity::kDriveTablePath)
                << "\n";
    return kExitFailed;
  }
  context.err << "norvex-cli: the drive table " << activity::WithHostPath(context.system, activity::kDriveTablePath)
              << " is damaged: " << table.Damage() << "\n";
  return kExitUsage;
}

int ReportRefused(Context& context) {
  context.err << "norvex-cli: " << activity::MembersOnlyNote(platform::LoginName()) << "\n";
  return kExitFailed;
}

bool LoadDatabases(Context& context, activity::AppState& state) {
  state.NetworkName = activity::ReadNetworkNames(context.system);
  const activity::RecorderHold hold(context.system);
  if (hold.Refused()) {
    ReportRefused(context);
    return false;
  }
  if (!state.driveTable.Load(context.system)) {
    ReportUnloadedTable(context, state.driveTable);
    return false;
  }
  for (const activity::DriveRecord& record : state.driveTable.NewState()) {
    const char drive = activity::DriveLetter(record.drive);
    if (!state.accessTables.Load(context.system, drive, record)) {
      context.err << "norvex-cli: could not open "
                  << activity::AccessTablePath(activity::DriveLetter(record.location), drive) << "\n";
      return false;
    }
    activity::CoverageLoad& coverage = state.coverage[static_cast<std::size_t>(activity::DriveIndex(drive))];
    coverage = activity::LoadCoverage(context.system, activity::DriveLetter(record.location), drive,
                                      context.system.Now());
    if (coverage.state == activity::CoverageLoad::State::Damaged) {
      context.err << "norvex-cli: "
                  << activity::WithHostPath(context.system,
                                            activity::CoverageFilePath(activity::DriveLetter(record.location), drive))
                  << " is damaged: " << coverage.damage << "; counted as no coverage\n";
    }
  }
  return true;
}

}  // namespace cli
