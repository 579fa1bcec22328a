#include "cli_scan_folder.h"

#include "cli_databases.h"
#include "cli_paths.h"
#include "files/hint_refresh.h"
#include "platform/dos_time.h"
#include "progress_line.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "scan_progress.h"
#include "shell/startup.h"
#include "common/silent_status.h"

namespace cli {

std::unique_ptr<ScannedFolder> ScanFolder(Context& context, const std::string& argument,
                                          std::optional<std::uint32_t> now, bool hints, bool quiet,
                                          int& exitCode) {
  const auto path = ToWindowsFolder(context, argument);
  if (!path) {
    exitCode = kExitUsage;
    return nullptr;
  }
  auto scanned = std::make_unique<ScannedFolder>();
  activity::AppState& state = *scanned->state;
  state.StartupStamp = now ? *now : platform::DosDateTimeNowUtc(context.system);
  shell::RecordCompressibleDrives(state, context.system);
  if (!LoadDatabases(context, state)) {
    exitCode = kExitFailed;
    return nullptr;
  }
  scanned->path = *path;
  scanned->folder = &scan::RecordForPath(scanned->driveList, *path);
  common::SilentStatus status;
  tools::ProgressLine line = tools::StandardErrorLine(context.err, quiet);
  tools::ScanProgress progress(line);
  scan::ScanInPlace(*scanned->folder, false, context.system, state, status, &progress);
  line.Finish();
  if (hints) files::RefreshHints(scanned->driveList, state, context.system);
  exitCode = kExitOk;
  return scanned;
}

}  // namespace cli
