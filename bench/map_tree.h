#pragma once
// A synthetic tree for the space map benchmarks: breadth-first, 40 entries per folder,
// one in eight a folder, sizes spread over six orders of magnitude as real trees have
// them, every fifth entry hinted and read-only bits varied for the colourings.

#include <cstdint>
#include <random>
#include <string>

#include "analysis/space_map_snapshot.h"

namespace bench_support {

inline analysis::MapSnapshot MakeMapTree(std::uint32_t entries, unsigned seed = 19) {
  std::mt19937 random(seed);
  std::lognormal_distribution<double> size(9.0, 2.5);
  analysis::MapSnapshot snapshot;
  snapshot.rootPath = "D:\\";
  analysis::MapItem root;
  root.folder = true;
  snapshot.items.push_back(root);
  for (std::size_t k = 0; k < snapshot.items.size() && snapshot.items.size() < entries; ++k) {
    if (!snapshot.items[k].folder) continue;
    snapshot.items[k].firstChild = static_cast<std::uint32_t>(snapshot.items.size());
    for (std::uint32_t c = 0; c < 40 && snapshot.items.size() < entries; ++c) {
      analysis::MapItem item;
      snapshot.SetName(item, "entry" + std::to_string(c));
      item.folder = c % 8 == 0;
      item.actualSize = item.folder ? 0 : static_cast<std::uint64_t>(size(random)) + 1;
      item.hint = static_cast<std::uint8_t>(c % 5 == 0 ? 4 : 0);
      item.readOnly = c * 3;
      item.parent = static_cast<std::uint32_t>(k);
      snapshot.items.push_back(item);
      ++snapshot.items[k].childCount;
    }
  }
  // Folder totals, children after parents: sum from the end.
  for (std::size_t k = snapshot.items.size(); k-- > 1;) {
    snapshot.items[snapshot.items[k].parent].actualSize += snapshot.items[k].actualSize;
  }
  return snapshot;
}

}  // namespace bench_support
