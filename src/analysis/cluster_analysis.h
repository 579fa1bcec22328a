#pragma once
// What every cluster size from 512 bytes to 64 K would waste on the files of a scanned
// drive, and the smallest cluster size the drive's data allows. Only the in-memory
// records are read, plus one common::DriveSpace query.

#include <array>
#include <cstdint>
#include <optional>
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

// How a drive's filesystem limits its cluster size. The count of clusters the data needs
// is the limit of FAT and NTFS; a filesystem such as ext4 or btrfs is made with one of a
// few block sizes whatever its data, and its present size is always one of them.
enum class ClusterLimit { ClusterCount, MadeWith };

struct ClusterAnalysisResult {
  ClusterLimit limit = ClusterLimit::ClusterCount;
  std::array<bool, kClusterSizeCount> madeWith{};  // MadeWith: the sizes it can have
  std::string driveRoot = "?:\\";
  std::array<std::uint64_t, kClusterSizeCount> data{};
  std::array<std::uint64_t, kClusterSizeCount> allocated{};
  std::uint64_t currentClusterSize = 0;
  std::uint64_t diskSize = 0;
  std::uint64_t freeBytes = 0;
  std::uint64_t dataOnDisk = 0;
  std::uint64_t optimalClusterSize = 0;
};

// The sizes of ClusterSizes a filesystem named `fileSystem` ("ext4") can be made with on
// a disk of `diskSize` bytes, `currentClusterSize` among them; nullopt where the count of
// clusters decides (FAT, NTFS, or no name).
std::optional<std::array<bool, kClusterSizeCount>> SizesMadeWith(std::string_view fileSystem,
                                                                 std::uint64_t diskSize,
                                                                 std::uint64_t currentClusterSize);

// Fills `result` for the drive of `rootPath` ("C:\") from the drive list's records and
// returns the optimal cluster size: the smallest its filesystem allows; where the count of
// clusters decides, the first needing at most 65520. When not even 64 K clusters can hold
// the data (more than 65520 x 65536 bytes, about 4 GB), the optimal size is 65536, the
// size that comes closest, and data on disk is its data.
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
