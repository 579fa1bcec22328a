#include "analysis/hint_savings.h"

#include <algorithm>
#include <cmath>

#include "scan/folder_info.h"

namespace analysis {

HintSavings SumHintSavings(const MapSnapshot& snapshot) {
  HintSavings savings;
  std::uint64_t plainOfCompressed = 0;
  std::uint64_t storedOfCompressed = 0;
  for (const MapItem& item : snapshot.items) {
    // A later link's data is carried, and freed, by the link that counts it.
    if (item.folder || item.laterLink) continue;
    if (item.state == scan::kStateCompressed && item.size > 0) {
      plainOfCompressed += item.size;
      storedOfCompressed += item.compressedSize;
    }
    HintTotal* total = nullptr;
    std::uint64_t bytes = item.actualSize;
    switch (item.hint) {
      case 4: total = &savings.backUp; break;
      case 1: total = &savings.compress; break;
      case 2: total = &savings.decompress; bytes = item.size; break;
      case 8: total = &savings.restore; bytes = item.size; break;
      default: break;
    }
    if (!total) continue;
    ++total->files;
    total->bytes += bytes;
  }
  if (plainOfCompressed > 0) {
    const double ratio = static_cast<double>(storedOfCompressed) / static_cast<double>(plainOfCompressed);
    savings.measuredRatio = ratio;
    const double kept = std::min(1.0, ratio) * static_cast<double>(savings.compress.bytes);
    savings.compressFrees = savings.compress.bytes - static_cast<std::uint64_t>(std::llround(kept));
  }
  return savings;
}

}  // namespace analysis
