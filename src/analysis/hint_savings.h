#pragma once
// What performing every hint of a folder's subtree would do to its space: "B" frees the
// files' actual sizes, "C" could shrink the bytes of compressible files (by the ratio
// the filesystem achieved on the drive's already compressed files, when there are any),
// "D" and "R" bring bytes back.

#include <cstdint>
#include <optional>

#include "analysis/space_map_snapshot.h"

namespace analysis {

struct HintTotal {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

struct HintSavings {
  HintTotal backUp;      // B: actual sizes freed
  HintTotal compress;    // C: actual sizes of the compressible files
  HintTotal decompress;  // D: sizes the files take again once decompressed
  HintTotal restore;     // R: sizes the records know of the backed-up files
  // Compressed bytes / plain bytes over the compressed files seen; none when none.
  std::optional<double> measuredRatio;
  // Bytes "C" would free at the measured ratio; none without a ratio.
  std::optional<std::uint64_t> compressFrees;
};

// Sums over every file below the snapshot's root; the already compressed
// files give the ratio: a snapshot holds one drive.
HintSavings SumHintSavings(const MapSnapshot& snapshot);

}  // namespace analysis
