// norvex-cli analyse: scans a drive fully and prints its cluster size analysis as the
// dialog shows it: eight rows, then the five bottom fields.

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "activity/drive_table.h"
#include "analysis/cluster_analysis.h"
#include "command.h"
#include "platform/system.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "shell/app_state.h"
#include "shell/status_sink.h"

namespace cli {
namespace {

class SilentStatus : public shell::StatusSink {
 public:
  void ShowStatus(const std::string&) override {}
};

// "D:", "d:" or "D:\" names drive D.
bool ParseDrive(const std::string& text, char& letter) {
  if (text.size() < 2 || text.size() > 3 || text[1] != ':') return false;
  if (text.size() == 3 && text[2] != '\\') return false;
  const unsigned char c = static_cast<unsigned char>(text[0]);
  if (!std::isalpha(c)) return false;
  letter = static_cast<char>(std::toupper(c));
  return true;
}

int Analyse(Context& context, const std::vector<std::string>& args) {
  char letter = 0;
  if (args.size() != 1 || !ParseDrive(args[0], letter)) {
    context.err << "norvex-cli: usage: norvex-cli analyse X:\n";
    return kExitUsage;
  }
  const std::string root = std::string(1, letter) + ":\\";
  const std::uint32_t attributes = context.system.GetFileAttributes(root);
  if (!context.system.HostPath(root) || attributes == platform::kInvalidAttributes) {
    context.err << "norvex-cli: drive " << root << " is not on the drive map\n";
    return kExitUsage;
  }

  // The analysis needs the files only; access records would not change a figure.
  shell::AppState state;
  scan::CFolderInfo driveList;
  scan::CFolderInfo& drive = scan::RecordForPath(driveList, root);
  SilentStatus status;
  scan::ScanInPlace(drive, /*shallow=*/false, context.system, state, status);

  analysis::ClusterAnalysisResult result;
  analysis::AnalyseDrive(context.system, driveList, root, result);
  const analysis::ClusterAnalysisView view = analysis::DescribeClusterAnalysis(result);
  for (const analysis::ClusterAnalysisRow& row : view.rows) {
    context.out << row.sizeText << '\t' << row.diskSize << '\t' << row.wasted << '\t'
                << row.barPosition << '\n';
  }
  context.out << "Current disk size:\t" << view.currentDiskSize << '\n'
              << "Data on disk:\t" << view.dataOnDisk << '\n'
              << "Free space on disk:\t" << view.freeSpace << '\n'
              << "Current cluster size:\t" << view.currentClusterSize << '\n'
              << "Optimal cluster size:\t" << view.optimalClusterSize << '\n';
  return kExitOk;
}

const CommandRegistration reg(
    "analyse",
    "analyse X:\n"
    "                          scan drive X fully and print its cluster size analysis: one line\n"
    "                          per cluster size (size, disk size, wasted, bar position), then\n"
    "                          the five bottom fields, tab-separated",
    &Analyse);

}  // namespace
}  // namespace cli
