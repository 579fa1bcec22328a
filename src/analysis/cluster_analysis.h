#pragma once
// What every cluster size from 512 bytes to 64 K would waste on the files of a scanned
// drive, and the smallest cluster size the drive's data allows. Only the in-memory
// records are read, plus one common::DriveSpace query.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform { class System; }
namespace scan { class CFolderInfo; }

namespace analysis {

inline constexpr std::size_t kClusterSizeCount = 8;
inline constexpr std::array<std::uint64_t, kClusterSizeCount> ClusterSizes = {
    512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};
// The most clusters a size may need to hold the data.
inline constexpr std::uint64_t MaxClusterCount = 65520;

struct ClusterAnalysisResult {
  std::string driveRoot = "?:\\";
  std::array<std::uint64_t, kClusterSizeCount> data{};
  std::array<std::uint64_t, kClusterSizeCount> allocated{};
  std::uint64_t currentClusterSize = 0;
  std::uint64_t diskSize = 0;
  std::uint64_t freeBytes = 0;
  std::uint64_t dataOnDisk = 0;
  std::uint64_t optimalClusterSize = 0;
};

// Fills `result` for the drive of `rootPath` ("C:\") from the drive list's records and
// returns the optimal cluster size. When not even 64 K clusters can hold the data (more
// than 65520 x 65536 bytes, about 4 GB), the optimal size is 65536, the size that comes
// closest, and data on disk is its data.
std::uint64_t AnalyseDrive(const platform::System& system, const scan::CFolderInfo& driveList,
                           std::string_view rootPath, ClusterAnalysisResult& result);

// The dialog's texts, row by row in the order of ClusterSizes.
struct ClusterAnalysisRow {
  std::string sizeText;    // "512"
  std::string diskSize;    // "Not Allowed" or "40-63 MB"
  std::string wasted;      // "0.0 MB"
  int barPosition = 0;     // 0..100, truncated
};
struct ClusterAnalysisView {
  std::string title;
  std::array<ClusterAnalysisRow, kClusterSizeCount> rows;
  std::string currentDiskSize;     // "%lu MB"
  std::string dataOnDisk;          // "%lu MB"
  std::string freeSpace;           // "%lu MB"
  std::string currentClusterSize;  // "%lu"
  std::string optimalClusterSize;  // "%lu"
};
ClusterAnalysisView DescribeClusterAnalysis(const ClusterAnalysisResult& result);

}  // namespace analysis
