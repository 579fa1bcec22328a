#include "analysis/cluster_analysis.h"

#include <cctype>
#include <cstdio>

#include "common/space.h"
#include "scan/folder_info.h"
#include "scan/record_walk.h"

namespace analysis {
namespace {

// One depth-first walk adds every file's compressed size and its eight rounded sizes;
// that gives the same sums as one walk per cluster size, at an eighth of the cost.
void AddFiles(const scan::CFolderInfo& root, ClusterAnalysisResult& result) {
  scan::ForEachRecord(root, [&result](const scan::CFolderInfo& folder) {
    const auto compressed = folder.compressedSizes();
    for (std::uint32_t i = 0; i < folder.Count(); ++i) {
      if (folder.IsFolder(i) || folder.LaterLink(i)) continue;
      for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
        result.data[s] += compressed[i];
        result.allocated[s] += common::RoundUpToCluster(compressed[i], ClusterSizes[s]);
      }
    }
  });
}

const scan::CFolderInfo& DriveRecordOf(const scan::CFolderInfo& driveList, char letter) {
  for (std::uint32_t i = 0; i < driveList.Count(); ++i) {
    const std::string_view name = driveList.names(i);
    if (!name.empty() && std::toupper(static_cast<unsigned char>(name[0])) == letter) {
      if (const scan::CFolderInfo* child = driveList.GetChild(i)) return *child;
    }
  }
  return driveList;
}

std::string Printed(const char* format, auto... values) {
  char text[64];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

unsigned long long Mb(std::uint64_t bytes) { return static_cast<unsigned long long>(bytes >> 20); }

}  // namespace

std::uint64_t AnalyseDrive(const platform::System& system, const scan::CFolderInfo& driveList,
                           std::string_view rootPath, ClusterAnalysisResult& result) {
  const common::DriveSpaceFigures space = common::DriveSpace(system, rootPath);
  result.currentClusterSize = space.clusterSize;
  result.diskSize = space.capacity;
  result.freeBytes = space.freeBytes;
  result.driveRoot = std::string(rootPath.substr(0, 3));

  result.data.fill(0);
  result.allocated.fill(0);
  const char letter =
      rootPath.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(rootPath[0])));
  AddFiles(DriveRecordOf(driveList, letter), result);

  if (result.data[0] == 0) {
    // No data: ones keep every later division away from zero.
    result.data.fill(1);
    result.allocated.fill(1);
    result.dataOnDisk = 0;
    result.optimalClusterSize = ClusterSizes[0];
    return result.optimalClusterSize;
  }
  std::size_t optimal = kClusterSizeCount - 1;
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    if (result.allocated[s] <= MaxClusterCount * ClusterSizes[s]) {
      optimal = s;
      break;
    }
  }
  result.optimalClusterSize = ClusterSizes[optimal];
  result.dataOnDisk = result.data[optimal];
  return result.optimalClusterSize;
}

ClusterAnalysisView DescribeClusterAnalysis(const ClusterAnalysisResult& result) {
  ClusterAnalysisView view;
  view.title = "Effeciency Analysis of using space on disk " + result.driveRoot;
  std::uint64_t lower = 0;
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    ClusterAnalysisRow& row = view.rows[s];
    const std::uint64_t upper = MaxClusterCount * ClusterSizes[s];
    row.sizeText = Printed("%llu", static_cast<unsigned long long>(ClusterSizes[s]));
    if (result.allocated[s] > upper) {
      row.diskSize = "Not Allowed";
      // The next row starts at its own allocated bytes; the last row has no next one.
      if (s + 1 < kClusterSizeCount) lower = result.allocated[s + 1];
    } else {
      row.diskSize = Printed("%llu-%llu MB", Mb(lower), Mb(upper));
      lower = upper;
    }
    const std::uint64_t data = result.data[s];
    const std::uint64_t allocated = result.allocated[s];
    // Compressed files can take less room than their data: no negative waste.
    const std::uint64_t waste = allocated > data ? allocated - data : 0;
    row.wasted = Printed("%.1f MB", static_cast<double>(waste) / 1048576.0);
    const double position =
        allocated == 0 ? 100.0 : static_cast<double>(data) / static_cast<double>(allocated) * 100.0;
    row.barPosition = position > 100.0 ? 100 : static_cast<int>(position);
  }
  view.currentDiskSize = Printed("%llu MB", Mb(result.diskSize));
  view.dataOnDisk = Printed("%llu MB", Mb(result.dataOnDisk));
  view.freeSpace = Printed("%llu MB", Mb(result.freeBytes));
  view.currentClusterSize = Printed("%llu", static_cast<unsigned long long>(result.currentClusterSize));
  view.optimalClusterSize = Printed("%llu", static_cast<unsigned long long>(result.optimalClusterSize));
  return view;
}

}  // namespace analysis
