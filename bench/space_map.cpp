// The space map's layout over a synthetic tree the size of /usr (163,000 entries) and of
// a large drive (1,000,000 entries), at a typical pane size, and the hint savings.
//
//   bench_space_map

#include <benchmark/benchmark.h>


#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_layout.h"
#include "map_tree.h"

namespace {

void BM_Layout(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = bench_support::MakeMapTree(static_cast<std::uint32_t>(state.range(0)), 19);
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
  const analysis::MapSnapshot snapshot = bench_support::MakeMapTree(static_cast<std::uint32_t>(state.range(0)), 19);
  for (auto _ : state) benchmark::DoNotOptimize(analysis::SumHintSavings(snapshot));
}
BENCHMARK(BM_Savings)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
