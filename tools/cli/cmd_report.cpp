// norvex-cli report: scans a folder and prints the Files list as the window shows it:
// the fourteen column titles, then one line of cell texts per row in list order.
//
// --json (format "norvex-report", version 1), one object:
//   {"format", "version", "path": the folder ("D:\\Work\\"), "sortKey", "hints": bool,
//    "rows": [{"name", "kind" (1 folder, 15 file), "action", "state", "hint" (codes:
//              0 none, 1 compress, 2 decompress, 4 back up, 8 restore; states 0 normal,
//              1 compressed, 4 backed up), "size", "compressedSize", "actualSize" (bytes),
//              "usedPercent", "fileCount", "accessCount", "readOnly", "writeOnly",
//              "readWrite", "lastAccess" ("YYYY-MM-DD HH:MM:SS" as recorded, local
//              time, or null when never used), "lastOperation" (0 R, 1 W, 2 RW, 3 E,
//              4 S; null when never used)}, ...]}   in list order

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli_databases.h"
#include "cli_flags.h"
#include "cli_paths.h"
#include "cli_text.h"
#include "command.h"
#include "files/hints.h"
#include "files/list_format.h"
#include "json_writer.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "progress_line.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "scan_progress.h"
#include "activity/app_state.h"
#include "shell/startup.h"
#include "common/status_sink.h"

namespace cli {
namespace {

constexpr const char* kUsage =
    "norvex-cli: usage: norvex-cli report [--sort KEY] [--hints] [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "                             [--json] [--quiet] PATH\n";

struct ReportArguments {
  std::uint8_t sortKey = activity::kSortAccessCounter;
  bool hints = false;
  bool json = false;
  bool quiet = false;
  std::optional<std::uint32_t> now;  // DOS date-time, UTC
  std::string path;
};

class SilentStatus : public common::StatusSink {
 public:
  void ShowStatus(const std::string&) override {}
};

bool ParseArguments(Context& context, std::vector<std::string> args, ReportArguments& parsed) {
  parsed.json = TakeFlag(args, "--json");
  parsed.quiet = TakeFlag(args, "--quiet");
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    const bool hasValue = k + 1 < args.size();
    if (arg == "--hints") {
      parsed.hints = true;
    } else if (arg == "--sort" && hasValue) {
      const std::string& value = args[++k];
      char* end = nullptr;
      const unsigned long key = std::strtoul(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || key > 15) {
        context.err << "norvex-cli: --sort takes a sort key from 0 to 15, not '" << value << "'\n";
        return false;
      }
      parsed.sortKey = static_cast<std::uint8_t>(key);
    } else if (arg == "--now" && hasValue) {
      const std::string& value = args[++k];
      parsed.now = platform::ParseDosDateTime(value);
      if (!parsed.now) {
        context.err << "norvex-cli: --now takes \"YYYY-MM-DD HH:MM:SS\" between 1980 and 2107, not '"
                    << value << "'\n";
        return false;
      }
    } else if (arg.starts_with("--") || !parsed.path.empty()) {
      context.err << kUsage;
      return false;
    } else {
      parsed.path = arg;
    }
  }
  if (parsed.path.empty()) {
    context.err << kUsage;
    return false;
  }
  return true;
}

void PrintRows(std::ostream& out, const std::vector<files::ListRow>& rows) {
  for (int column = 0; column < files::kColumnCount; ++column) {
    out << (column ? "\t" : "") << files::kColumns[column].title;
  }
  out << '\n';
  for (const files::ListRow& row : rows) {
    for (int column = 0; column < files::kColumnCount; ++column) {
      out << (column ? "\t" : "") << LineSafe(files::CellText(row, column));
    }
    out << '\n';
  }
}

void WriteRowsJson(std::ostream& out, const std::string& path, const ReportArguments& arguments,
                   const std::vector<files::ListRow>& rows) {
  tools::JsonWriter json(out);
  json.Document("norvex-report", 1)
      .Member("path", path)
      .Member("sortKey", int{arguments.sortKey})
      .Member("hints", arguments.hints)
      .Key("rows")
      .Array();
  for (const files::ListRow& row : rows) {
    const bool used = row.lastAccess != 0;
    json.Object()
        .Member("name", row.name)
        .Member("kind", int{row.kind})
        .Member("action", int{row.action})
        .Member("state", int{row.state})
        .Member("hint", int{row.hint})
        .Member("size", row.size)
        .Member("compressedSize", row.compressedSize)
        .Member("actualSize", row.actualSize)
        .Member("usedPercent", row.usedPercent)
        .Member("fileCount", row.fileCount)
        .Member("accessCount", row.accessCount)
        .Member("readOnly", row.readOnly)
        .Member("writeOnly", row.writeOnly)
        .Member("readWrite", row.readWrite)
        .MemberOrNull("lastAccess", tools::DosDateTimeText(row.lastAccess))
        .Key("lastOperation");
    if (used) {
      json.Signed(row.lastOperation);
    } else {
      json.Null();
    }
    json.End();
  }
  json.End().End();
}

int Report(Context& context, const std::vector<std::string>& args) {
  ReportArguments arguments;
  if (!ParseArguments(context, args, arguments)) return kExitUsage;
  const auto path = ToWindowsFolder(context, arguments.path);
  if (!path) return kExitUsage;

  activity::AppState state;
  state.StartupStamp = arguments.now ? *arguments.now : platform::DosDateTimeNowUtc(context.system);
  shell::RecordCompressibleDrives(state, context.system);
  if (!LoadDatabases(context, state)) return kExitFailed;

  scan::CFolderInfo driveList;
  scan::CFolderInfo& folder = scan::RecordForPath(driveList, *path);
  SilentStatus status;
  tools::ProgressLine line = tools::StandardErrorLine(context.err, arguments.quiet);
  tools::ScanProgress progress(line);
  scan::ScanInPlace(folder, false, context.system, state, status, &progress);
  line.Finish();
  if (arguments.hints) files::RefreshHints(driveList, state, context.system);

  std::vector<files::ListRow> rows = files::MakeRows(folder);
  files::SortRows(rows, arguments.sortKey);
  if (arguments.json) {
    WriteRowsJson(context.out, *path, arguments, rows);
  } else {
    PrintRows(context.out, rows);
  }
  return kExitOk;
}

const CommandRegistration reg(
    "report",
    "report [--sort KEY] [--hints] [--now \"YYYY-MM-DD HH:MM:SS\"] [--json] [--quiet] PATH\n"
    "                          scan a folder and print its Files list: the column titles, then\n"
    "                          one tab-separated line per row in list order; KEY is the sort key\n"
    "                          0-15 (default 8, access counter); --now sets the start-up time (UTC)\n"
    "                          for reproducible hints; --hints computes hints before printing;\n"
    "                          --json: the rows as JSON; --quiet: no progress line on a terminal",
    &Report);

}  // namespace
}  // namespace cli
