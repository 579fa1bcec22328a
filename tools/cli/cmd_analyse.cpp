// norvex-cli analyse: scans a drive fully and prints its cluster size analysis as the
// dialog shows it: eight rows, then the five bottom fields.
//
// --json (format "norvex-analysis", version 1), one object:
//   {"format", "version", "drive": "D:\\",
//    "rows": [{"clusterSize": bytes, "diskSize": "40-63 MB" or "Not Allowed",
//              "wasted": "0.0 MB", "barPosition": 0..100}, ...]   512 bytes to 64 K,
//    "diskSize", "dataOnDisk", "freeSpace", "currentClusterSize", "optimalClusterSize"}
//   (the last five in bytes, where the text output shows MB)

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "activity/drive_table.h"
#include "analysis/cluster_analysis.h"
#include "cli_flags.h"
#include "command.h"
#include "json_writer.h"
#include "platform/system.h"
#include "progress_line.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "scan_progress.h"
#include "activity/app_state.h"
#include "common/silent_status.h"

namespace cli {
namespace {

// "D:", "d:" or "D:\" names drive D.
bool ParseDrive(const std::string& text, char& letter) {
  if (text.size() < 2 || text.size() > 3 || text[1] != ':') return false;
  if (text.size() == 3 && text[2] != '\\') return false;
  const unsigned char c = static_cast<unsigned char>(text[0]);
  if (!std::isalpha(c)) return false;
  letter = static_cast<char>(std::toupper(c));
  return true;
}

void PrintAnalysis(std::ostream& out, const analysis::ClusterAnalysisView& view) {
  for (const analysis::ClusterAnalysisRow& row : view.rows) {
    out << row.sizeText << '\t' << row.diskSize << '\t' << row.wasted << '\t' << row.barPosition << '\n';
  }
  out << "Current disk size:\t" << view.currentDiskSize << '\n'
      << "Data on disk:\t" << view.dataOnDisk << '\n'
      << "Free space on disk:\t" << view.freeSpace << '\n'
      << "Current cluster size:\t" << view.currentClusterSize << '\n'
      << "Optimal cluster size:\t" << view.optimalClusterSize << '\n';
}

void WriteAnalysisJson(std::ostream& out, const analysis::ClusterAnalysisResult& result,
                       const analysis::ClusterAnalysisView& view) {
  tools::JsonWriter json(out);
  json.Document("norvex-analysis", 1).Member("drive", result.driveRoot).Key("rows").Array();
  for (std::size_t s = 0; s < analysis::kClusterSizeCount; ++s) {
    const analysis::ClusterAnalysisRow& row = view.rows[s];
    json.Object()
        .Member("clusterSize", analysis::ClusterSizes[s])
        .Member("diskSize", row.diskSize)
        .Member("wasted", row.wasted)
        .Member("barPosition", row.barPosition)
        .End();
  }
  json.End()
      .Member("diskSize", result.diskSize)
      .Member("dataOnDisk", result.dataOnDisk)
      .Member("freeSpace", result.freeBytes)
      .Member("currentClusterSize", result.currentClusterSize)
      .Member("optimalClusterSize", result.optimalClusterSize)
      .End();
}

int Analyse(Context& context, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  const bool json = TakeFlag(args, "--json");
  const bool quiet = TakeFlag(args, "--quiet");
  char letter = 0;
  if (args.size() != 1 || !ParseDrive(args[0], letter)) {
    context.err << "norvex-cli: usage: norvex-cli analyse [--json] [--quiet] X:\n";
    return kExitUsage;
  }
  const std::string root = std::string(1, letter) + ":\\";
  const std::uint32_t attributes = context.system.GetFileAttributes(root);
  if (!context.system.HostPath(root) || attributes == platform::kInvalidAttributes) {
    context.err << "norvex-cli: drive " << root << " is not on the drive map\n";
    return kExitUsage;
  }

  // The analysis needs the files only; access records would not change a figure.
  activity::AppState state;
  scan::CFolderInfo driveList;
  scan::CFolderInfo& drive = scan::RecordForPath(driveList, root);
  common::SilentStatus status;
  tools::ProgressLine line = tools::StandardErrorLine(context.err, quiet);
  tools::ScanProgress progress(line);
  scan::ScanInPlace(drive, /*shallow=*/false, context.system, state, status, &progress);
  line.Finish();

  analysis::ClusterAnalysisResult result;
  analysis::AnalyseDrive(context.system, driveList, root, result);
  const analysis::ClusterAnalysisView view = analysis::DescribeClusterAnalysis(result);
  if (json) {
    WriteAnalysisJson(context.out, result, view);
  } else {
    PrintAnalysis(context.out, view);
  }
  return kExitOk;
}

}  // namespace

const Command kAnalyseCommand{"analyse",
    "analyse [--json] [--quiet] X:\n"
    "                          scan drive X fully and print its cluster size analysis: one line\n"
    "                          per cluster size (size, disk size, wasted, bar position), then\n"
    "                          the five bottom fields, tab-separated; --json: as JSON;\n"
    "                          --quiet: no progress line on a terminal",
    &Analyse};

}  // namespace cli
