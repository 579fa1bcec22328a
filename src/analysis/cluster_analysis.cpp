#include "analysis/cluster_analysis.h"

#include <cctype>
#include <cstdio>

#include "common/space.h"
#include "platform/system.h"
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

// The count of clusters, or else the sizes the filesystem can have, allows size `s`.
bool Allowed(const ClusterAnalysisResult& result, std::size_t s) {
  if (result.limit == ClusterLimit::MadeWith) return result.madeWith[s];
  return result.allocated[s] <= MaxClusterCount * ClusterSizes[s];
}

}  // namespace

std::optional<std::array<bool, kClusterSizeCount>> SizesMadeWith(std::string_view fileSystem,
                                                                 std::uint64_t diskSize,
                                                                 std::uint64_t currentClusterSize) {
  for (const std::string_view counted : {"", "vfat", "msdos", "fat", "ntfs", "ntfs3"}) {
    if (fileSystem == counted) return std::nullopt;
  }
  const bool ext = fileSystem == "ext2" || fileSystem == "ext3" || fileSystem == "ext4";
  std::array<bool, kClusterSizeCount> sizes{};
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    const std::uint64_t size = ClusterSizes[s];
    if (ext) {
      // mkfs's block sizes, each addressing at most 2^32 blocks.
      sizes[s] = size >= 1024 && size <= 4096 && diskSize / size <= (std::uint64_t{1} << 32);
    } else if (fileSystem == "xfs") {
      sizes[s] = size >= 1024 && size <= 4096;  // above the page size it cannot be mounted
    } else if (fileSystem == "exfat") {
      sizes[s] = true;
    }
    // btrfs keeps its sector size, and a filesystem not known here the size it has.
    if (size == currentClusterSize) sizes[s] = true;
  }
  return sizes;
}

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

  const auto volume = system.GetVolumeInformation(letter);
  const auto madeWith = SizesMadeWith(volume ? std::string_view(volume->fileSystemName) : std::string_view(),
                                      result.diskSize, result.currentClusterSize);
  result.limit = madeWith ? ClusterLimit::MadeWith : ClusterLimit::ClusterCount;
  result.madeWith = madeWith.value_or(std::array<bool, kClusterSizeCount>{});

  const bool empty = result.data[0] == 0;
  if (empty) {
    // No data: ones keep every later division away from zero.
    result.data.fill(1);
    result.allocated.fill(1);
  }
  std::size_t optimal = kClusterSizeCount - 1;
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    if (Allowed(result, s)) {
      optimal = s;
      break;
    }
  }
  result.optimalClusterSize = ClusterSizes[optimal];
  result.dataOnDisk = empty ? 0 : result.data[optimal];
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
    if (!Allowed(result, s)) {
      row.diskSize = "Not Allowed";
      // The next row starts at its own allocated bytes; the last row has no next one.
      if (s + 1 < kClusterSizeCount) lower = result.allocated[s + 1];
    } else if (result.limit == ClusterLimit::MadeWith) {
      row.diskSize = "Allowed";  // at the disk's size, whatever its data
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
