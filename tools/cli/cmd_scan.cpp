// norvex-cli scan: scans a folder as F5 does (or as expanding it does, --shallow) and
// prints its entries in listing order, or the whole scanned subtree as JSON.

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cli_databases.h"
#include "cli_paths.h"
#include "cli_text.h"
#include "command.h"
#include "platform/system.h"
#include "progress_line.h"
#include "scan/folder_info.h"
#include "scan/heap_usage.h"
#include "scan/record_path.h"
#include "scan/scan_export.h"
#include "scan/scan_job.h"
#include "scan_progress.h"
#include "activity/app_state.h"
#include "common/silent_status.h"

namespace cli {
namespace {

struct ScanArguments {
  bool shallow = false;
  bool json = false;
  bool stats = false;
  bool quiet = false;
  std::string path;
};

void PrintEntries(std::ostream& out, const scan::CFolderInfo& folder) {
  for (std::uint32_t i = 0; i < folder.Count(); ++i) {
    out << LineSafe(folder.names(i)) << '\t' << int{folder.kinds()[i]} << '\t' << folder.sizes()[i]
        << '\t' << folder.compressedSizes()[i] << '\t' << folder.ActualSize(i) << '\t'
        << folder.FileCount(i) << '\t' << HexDigits(folder.keys()[i], 16) << '\t'
        << HexDigits(folder.lastAccess()[i], 8) << '\t' << int{folder.lastOperations()[i]} << '\t'
        << folder.readOnlyCounts()[i] << '\t' << folder.writeOnlyCounts()[i] << '\t'
        << folder.readWriteCounts()[i] << '\n';
  }
  out << "TOTAL\t" << folder.totalSize << '\t' << folder.totalCompressedSize << '\t'
      << folder.totalActualSize << '\t' << folder.totalFiles << '\t' << HexDigits(folder.latestAccess, 8)
      << '\t' << int{folder.latestOperation} << '\t' << folder.totalReadOnly << '\t'
      << folder.totalWriteOnly << '\t' << folder.totalReadWrite << '\n';
}

bool ParseArguments(Context& context, const std::vector<std::string>& args, ScanArguments& parsed) {
  for (const std::string& arg : args) {
    if (arg == "--shallow") {
      parsed.shallow = true;
    } else if (arg == "--json") {
      parsed.json = true;
    } else if (arg == "--stats") {
      parsed.stats = true;
    } else if (arg == "--quiet") {
      parsed.quiet = true;
    } else if (arg.starts_with("--") || !parsed.path.empty()) {
      context.err << "norvex-cli: usage: norvex-cli scan [--shallow] [--json] [--stats] [--quiet] PATH\n";
      return false;
    } else {
      parsed.path = arg;
    }
  }
  if (parsed.path.empty()) {
    context.err << "norvex-cli: scan needs a folder (a Windows path such as D:\\Work or a host path)\n";
    return false;
  }
  return true;
}

int Scan(Context& context, const std::vector<std::string>& args) {
  ScanArguments arguments;
  if (!ParseArguments(context, args, arguments)) return kExitUsage;
  const auto path = ToWindowsFolder(context, arguments.path);
  if (!path) return kExitUsage;

  activity::AppState state;
  if (!LoadDatabases(context, state)) return kExitFailed;

  const std::size_t heapBefore = scan::HeapBytesInUse();
  const auto started = std::chrono::steady_clock::now();
  scan::CFolderInfo driveList;
  scan::CFolderInfo& folder = scan::RecordForPath(driveList, *path);
  common::SilentStatus status;
  tools::ProgressLine line = tools::StandardErrorLine(context.err, arguments.quiet);
  tools::ScanProgress progress(line);
  const scan::ScannedSubtree scanned =
      scan::ScanInPlace(folder, arguments.shallow, context.system, state, status, &progress);
  line.Finish();
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
  const std::size_t heapAfter = scan::HeapBytesInUse();

  if (arguments.json) {
    scan::WriteScanJson(context.out, {*path, arguments.shallow, scanned.clusterSize}, folder);
  } else {
    PrintEntries(context.out, folder);
  }
  if (arguments.stats) {
    const double entries = static_cast<double>(std::max<std::uint64_t>(scanned.entries, 1));
    char line[256];
    std::snprintf(line, sizeof line,
                  "entries %llu, folders listed %llu, unreadable %llu, %.3f s, %.0f entries/s, "
                  "%.1f heap bytes/entry, %.1f record bytes/entry\n",
                  static_cast<unsigned long long>(scanned.entries),
                  static_cast<unsigned long long>(scanned.foldersListed),
                  static_cast<unsigned long long>(scanned.foldersUnreadable), seconds.count(),
                  static_cast<double>(scanned.entries) / seconds.count(),
                  static_cast<double>(heapAfter - heapBefore) / entries,
                  static_cast<double>(folder.MemoryFootprint()) / entries);
    context.err << line;
  }
  return kExitOk;
}

}  // namespace

const Command kScanCommand{"scan",
    "scan [--shallow] [--json] [--stats] [--quiet] PATH\n"
    "                          scan a folder as F5 does (--shallow: two levels, as expanding it\n"
    "                          does); print its entries in listing order, then TOTAL, tab-separated;\n"
    "                          --json: the whole subtree (format: norvex-cli(1));\n"
    "                          --stats: folders listed and unreadable, time and memory per entry\n"
    "                          on standard error;\n"
    "                          --quiet: no progress line on a terminal",
    &Scan};

}  // namespace cli
