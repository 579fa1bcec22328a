// The space map's layout over a synthetic tree the size of /usr (163,000 entries) and of
// a large drive (1,000,000 entries), at a typical pane size, and the hint savings.
//
//   bench_space_map

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_layout.h"

namespace {

// Breadth-first: 40 entries per folder, one in eight a folder, sizes spread over six
// orders of magnitude as real trees have them.
analysis::MapSnapshot MakeTree(std::uint32_t entries, unsigned seed) {
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
      item.name = "entry" + std::to_string(c);
      item.folder = c % 8 == 0;
      item.actualSize = item.folder ? 0 : static_cast<std::uint64_t>(size(random)) + 1;
      item.hint = static_cast<std::uint8_t>(c % 5 == 0 ? 4 : 0);
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

void BM_Layout(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = MakeTree(static_cast<std::uint32_t>(state.range(0)), 19);
  std::size_t cells = 0;
  for (auto _ : state) {
    const analysis::MapLayout layout = analysis::LayOutTreemap(snapshot, {0, 0, 1600, 1000});
    cells = layout.cells.size();
    benchmark::DoNotOptimize(layout.cells.data());
  }
  state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_Layout)->Arg(163000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Savings(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = MakeTree(static_cast<std::uint32_t>(state.range(0)), 19);
  for (auto _ : state) benchmark::DoNotOptimize(analysis::SumHintSavings(snapshot));
}
BENCHMARK(BM_Savings)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
