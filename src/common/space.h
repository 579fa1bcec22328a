#pragma once
// The space rules every view shares. Byte quantities are 64-bit: a 5 GB file counts 5 GB.

#include <cstdint>
#include <string_view>

namespace platform { class System; }

namespace common {

std::uint64_t RoundUpToCluster(std::uint64_t bytes, std::uint64_t clusterSize);
// Whole percent, halves rounded up. 0 when whole is 0: every caller shows its own
// figure for an empty whole. May exceed 100 when part > whole.
std::uint32_t RoundedPercent(std::uint64_t part, std::uint64_t whole);
// RoundedPercent for a figure shown as a share of a whole: at most 100. Sparse and
// compressed files hold more data than they allocate, and actual sizes recalculated for
// another cluster size can exceed what a drive uses; a share beyond the whole means
// nothing to the reader.
std::uint32_t SharePercent(std::uint64_t part, std::uint64_t whole);
// The share of the space an entry takes that its data uses: compressed over actual
// size, 100 when it takes none.
std::uint32_t UsedPercent(std::uint64_t compressedSize, std::uint64_t actualSize);
std::uint64_t KFloor(std::uint64_t bytes);
std::uint64_t KRounded(std::uint64_t bytes);

struct DriveSpaceFigures {
  std::uint64_t clusterSize = 0;
  std::uint64_t capacity = 0;
  std::uint64_t freeBytes = 0;
  std::uint64_t usedBytes = 0;
};
// Figures of the drive of `rootPath` ("C:\"); all 0 when the query fails.
DriveSpaceFigures DriveSpace(const platform::System& system, std::string_view rootPath);

}  // namespace common
