// The space map pane's drawing: the worker's image of a 163,000-entry layout, and the
// repaint that copies the cached image to the screen.
//
//   QT_QPA_PLATFORM=offscreen bench_ui_space_map

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <random>
#include <string>

#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"
#include "ui/map/space_map_view.h"

namespace {

analysis::MapSnapshot MakeTree(std::uint32_t entries) {
  std::mt19937 random(19);
  std::lognormal_distribution<double> size(9.0, 2.5);
  analysis::MapSnapshot snapshot;
  analysis::MapItem root;
  root.folder = true;
  snapshot.items.push_back(root);
  for (std::size_t k = 0; k < snapshot.items.size() && snapshot.items.size() < entries; ++k) {
    if (!snapshot.items[k].folder) continue;
    snapshot.items[k].firstChild = static_cast<std::uint32_t>(snapshot.items.size());
    for (std::uint32_t c = 0; c < 40 && snapshot.items.size() < entries; ++c) {
      analysis::MapItem item;
      item.folder = c % 8 == 0;
      item.actualSize = item.folder ? 0 : static_cast<std::uint64_t>(size(random)) + 1;
      item.readOnly = c * 3;
      item.parent = static_cast<std::uint32_t>(k);
      snapshot.items.push_back(item);
      ++snapshot.items[k].childCount;
    }
  }
  for (std::size_t k = snapshot.items.size(); k-- > 1;) {
    snapshot.items[snapshot.items[k].parent].actualSize += snapshot.items[k].actualSize;
  }
  return snapshot;
}

const QSize kPane(1600, 1000);

void BM_DrawImage(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = MakeTree(163000);
  const analysis::MapLayout layout = analysis::LayOutTreemap(snapshot, {0, 0, 1600, 1000});
  const analysis::ColourScale scale = analysis::MakeColourScale(snapshot, analysis::MapColouring::Count, 0);
  for (auto _ : state) benchmark::DoNotOptimize(ui::DrawMap(snapshot, layout, scale, kPane));
  state.counters["cells"] = static_cast<double>(layout.cells.size());
}
BENCHMARK(BM_DrawImage)->Unit(benchmark::kMillisecond);

void BM_Repaint(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = MakeTree(163000);
  const analysis::MapLayout layout = analysis::LayOutTreemap(snapshot, {0, 0, 1600, 1000});
  const QImage cached = ui::DrawMap(snapshot, layout, analysis::MakeColourScale(snapshot, analysis::MapColouring::Hint, 0), kPane);
  QImage screen(kPane, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&screen);
    painter.drawImage(QPoint(0, 0), cached);
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
