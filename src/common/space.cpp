#include "common/space.h"

#include <algorithm>

#include "platform/system.h"

namespace common {
namespace {
__extension__ typedef unsigned __int128 Wide;
}  // namespace

std::uint64_t RoundUpToCluster(std::uint64_t bytes, std::uint64_t clusterSize) {
  if (clusterSize == 0) return bytes;
  // Written as quotient plus a partial cluster so that bytes near 2^64 cannot overflow
  // the intermediate sum.
  const std::uint64_t clusters = bytes / clusterSize + (bytes % clusterSize != 0 ? 1 : 0);
  return clusters * clusterSize;
}

std::uint32_t RoundedPercent(std::uint64_t part, std::uint64_t whole) {
  if (whole == 0) return 0;  // callers show their own figure for an empty whole
  // 100 * part needs up to 71 bits with 64-bit byte counts.
  const Wide percent = (static_cast<Wide>(part) * 100 + whole / 2) / whole;
  return percent > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(percent);
}

std::uint32_t SharePercent(std::uint64_t part, std::uint64_t whole) {
  return std::min<std::uint32_t>(RoundedPercent(part, whole), 100);
}

std::uint32_t UsedPercent(std::uint64_t compressedSize, std::uint64_t actualSize) {
  return actualSize == 0 ? 100 : RoundedPercent(compressedSize, actualSize);
}

std::uint64_t KFloor(std::uint64_t bytes) { return bytes >> 10; }

std::uint64_t KRounded(std::uint64_t bytes) { return bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0); }

DriveSpaceFigures DriveSpace(const platform::System& system, std::string_view rootPath) {
  DriveSpaceFigures figures;
  if (rootPath.empty()) return figures;
  char letter = rootPath.front();
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  const auto space = system.GetDiskFreeSpace(letter);
  if (!space) return figures;
  figures.clusterSize = space->ClusterSize();
  figures.capacity = figures.clusterSize * space->totalClusters;
  figures.freeBytes = figures.clusterSize * space->freeClusters;
  // A free count above the total (a racing or odd filesystem) must not wrap to exabytes.
  const std::uint64_t usedClusters =
      space->totalClusters > space->freeClusters ? space->totalClusters - space->freeClusters : 0;
  figures.usedBytes = figures.clusterSize * usedClusters;
  return figures;
}

}  // namespace common
