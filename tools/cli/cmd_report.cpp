// norvex-cli report: scans a folder and prints the Files list as the window shows it:
// the fourteen column titles, then one line of cell texts per row in list order.
//
// --json (format "norvex-report", version 1), one object:
//   {"format", "version", "path": the folder ("D:\\Work\\"), "sortKey", "hints": bool,
//    "coverage": how long the recorder recorded the drive and which hints that withholds
//                (coverage_json.h),
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

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "cli_flags.h"
#include "cli_scan_folder.h"
#include "cli_text.h"
#include "command.h"
#include "coverage_json.h"
#include "files/hint_coverage.h"
#include "files/list_format.h"
#include "json_writer.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"

namespace cli {
namespace {

constexpr const char* kReportUsage =
    "norvex-cli: usage: norvex-cli report [--sort KEY] [--hints] [--savings] [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "                             [--json] [--quiet] PATH\n";

struct ReportArguments {
  std::uint8_t sortKey = activity::kSortAccessCounter;
  bool hints = false;
  bool savings = false;
  bool json = false;
  bool quiet = false;
  std::optional<std::uint32_t> now;  // DOS date-time, UTC
  std::string path;
};

bool ParseArguments(Context& context, std::vector<std::string> args, ReportArguments& parsed) {
  parsed.json = TakeFlag(args, "--json");
  parsed.quiet = TakeFlag(args, "--quiet");
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& arg = args[k];
    const bool hasValue = k + 1 < args.size();
    if (arg == "--hints") {
      parsed.hints = true;
    } else if (arg == "--savings") {
      parsed.savings = true;
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
      parsed.now = ParseNow(args[++k], context.err);
      if (!parsed.now) return false;
    } else if (arg.starts_with("--") || !parsed.path.empty()) {
      context.err << kReportUsage;
      return false;
    } else {
      parsed.path = arg;
    }
  }
  if (parsed.path.empty()) {
    context.err << kReportUsage;
    return false;
  }
  return true;
}

void PrintRows(std::ostream& out, const files::ListRows& rows) {
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
                   const files::ListRows& rows, const files::DriveCoverage& coverage) {
  tools::JsonWriter json(out);
  json.Document("norvex-report", 1)
      .Member("path", path)
      .Member("sortKey", int{arguments.sortKey})
      .Member("hints", arguments.hints)
      .Key("coverage");
  WriteCoverageJudgementJson(json, path[0], coverage);
  json.Key("rows").Array();
  for (const files::ListRow& row : rows) {
    const bool used = row.lastAccess != 0;
    json.Object()
        .Member("name", row.Name())
        .Member("kind", int{row.kind})
        .Member("action", int{row.action})
        .Member("state", int{row.state})
        .Member("hint", int{row.hint})
        .Member("size", row.size)
        .Member("compressedSize", row.compressedSize)
        .Member("actualSize", row.actualSize)
        .Member("usedPercent", row.UsedPercent())
        .Member("fileCount", row.fileCount)
        .Member("accessCount", row.AccessCount())
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

// The letters in the order the savings are printed, with what each one counts.
struct SavingsLine {
  const char* letter;
  const analysis::HintTotal analysis::HintSavings::*total;
};
constexpr SavingsLine kSavingsLines[] = {
    {"B", &analysis::HintSavings::backUp},
    {"C", &analysis::HintSavings::compress},
    {"D", &analysis::HintSavings::decompress},
    {"R", &analysis::HintSavings::restore},
};

// Why a letter's hints were withheld, "" when they were not.
std::string WithheldBecause(const SavingsLine& line, const files::DriveCoverage& coverage) {
  if (line.total == &analysis::HintSavings::backUp) return coverage.BackUpReason();
  if (line.total == &analysis::HintSavings::compress) return coverage.CompressReason();
  return "";
}

void PrintSavings(std::ostream& out, const analysis::HintSavings& savings, const files::DriveCoverage& coverage) {
  for (const SavingsLine& line : kSavingsLines) {
    const analysis::HintTotal& total = savings.*line.total;
    out << line.letter << '\t' << total.files << '\t' << total.bytes;
    if (const std::string reason = WithheldBecause(line, coverage); !reason.empty()) out << '\t' << reason;
    out << '\n';
  }
  if (const std::string summary = coverage.Summary(); !summary.empty()) out << "coverage\t" << summary << '\n';
  if (savings.measuredRatio) {
    out << "ratio\t" << *savings.measuredRatio << '\t' << *savings.compressFrees << '\n';
  }
}

void WriteSavingsJson(std::ostream& out, const std::string& path, const analysis::HintSavings& savings,
                      const files::DriveCoverage& coverage) {
  tools::JsonWriter json(out);
  json.Document("norvex-savings", 1).Member("path", path).Key("coverage");
  WriteCoverageJudgementJson(json, path[0], coverage);
  json.Key("letters").Array();
  for (const SavingsLine& line : kSavingsLines) {
    const analysis::HintTotal& total = savings.*line.total;
    const std::string reason = WithheldBecause(line, coverage);
    json.Object().Member("letter", std::string(line.letter)).Member("files", total.files)
        .Member("bytes", total.bytes).MemberOrNull("withheld", reason.empty() ? std::nullopt : std::optional(reason)).End();
  }
  json.End().Key("compressionRatio");
  if (savings.measuredRatio) json.Double(*savings.measuredRatio); else json.Null();
  json.Key("compressFrees");
  if (savings.compressFrees) json.Unsigned(*savings.compressFrees); else json.Null();
  json.End();
}

int Report(Context& context, const std::vector<std::string>& args) {
  ReportArguments arguments;
  if (!ParseArguments(context, args, arguments)) return kExitUsage;
  int exitCode = kExitOk;
  const auto scanned =
      ScanFolder(context, arguments.path, arguments.now, arguments.hints || arguments.savings, arguments.quiet, exitCode);
  if (!scanned) return exitCode;
  const scan::CFolderInfo& folder = *scanned->folder;
  const files::DriveCoverage coverage = files::JudgeCoverage(*scanned->state, scanned->path[0]);
  if (arguments.savings) {
    const analysis::MapSnapshot snapshot = analysis::SnapshotFolder(
        folder, analysis::DriveHasDatabase(scanned->state->driveTable, scanned->path));
    const analysis::HintSavings savings = analysis::SumHintSavings(snapshot);
    if (arguments.json) {
      WriteSavingsJson(context.out, scanned->path, savings, coverage);
    } else {
      PrintSavings(context.out, savings, coverage);
    }
    return kExitOk;
  }
  files::ListRows rows = files::MakeRows(folder);
  files::SortRows(rows, arguments.sortKey);
  if (arguments.json) {
    WriteRowsJson(context.out, scanned->path, arguments, rows, coverage);
  } else {
    PrintRows(context.out, rows);
  }
  return kExitOk;
}

}  // namespace

const Command kReportCommand{"report",
    "report [--sort KEY] [--hints] [--savings] [--now \"YYYY-MM-DD HH:MM:SS\"] [--json] [--quiet] PATH\n"
    "                          scan a folder and print its Files list: the column titles, then\n"
    "                          one tab-separated line per row in list order; KEY is the sort key\n"
    "                          0-15 (default 8, access counter); --now sets the start-up time (UTC)\n"
    "                          for reproducible hints; --hints computes hints before printing;\n"
    "                          --savings: instead of the rows, what the hints would save: one line\n"
    "                          per hint letter (letter, files, bytes) and the measured compression\n"
    "                          ratio, B and C followed by why they were withheld when the recorder\n"
    "                          did not record long enough, then a line \"coverage\" with the drive's\n"
    "                          coverage; --json: the rows (or savings) as JSON; --quiet: no progress\n"
    "                          line on a terminal",
    &Report};

}  // namespace cli
