// The space map pane's drawing: the worker's image of a 163,000-entry layout, and the
// repaint that copies the cached image to the screen.
//
//   QT_QPA_PLATFORM=offscreen bench_ui_space_map

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"
#include "map_tree.h"
#include "ui/map/space_map_view.h"

namespace {

const QSize kPane(1600, 1000);

void BM_DrawImage(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = bench_support::MakeMapTree(163000);
  const analysis::MapLayout layout = analysis::LayOutTreemap(snapshot, {0, 0, 1600, 1000});
  const analysis::ColourScale scale = analysis::MakeColourScale(snapshot, analysis::MapColouring::Count, 0);
  for (auto _ : state) benchmark::DoNotOptimize(ui::DrawMap(snapshot, layout, scale, kPane));
  state.counters["cells"] = static_cast<double>(layout.cells.size());
}
BENCHMARK(BM_DrawImage)->Unit(benchmark::kMillisecond);

void BM_Repaint(benchmark::State& state) {
  const analysis::MapSnapshot snapshot = bench_support::MakeMapTree(163000);
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
