// The Files list over a folder of 100,000 entries: a fill (snapshot, model reset, the
// initial sort by access counter) and a re-sort by each kind of key, with a table view
// attached as the window has it.
//
//   QT_QPA_PLATFORM=offscreen bench_ui_files_list

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <random>
#include <string>

#include "files/list_format.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "ui/list/files_model.h"

namespace {

constexpr std::uint32_t kEntries = 100000;

// Names, sizes and counters of a typical busy folder: 2% folders, most files never
// accessed (ties broken by name), the rest with spread-out counters.
const scan::CFolderInfo& BigFolder() {
  static const scan::CFolderInfo* folder = [] {
    auto* record = new scan::CFolderInfo;
    std::mt19937 random(42);
    record->Reserve(kEntries, kEntries / 50, kEntries * 16);
    for (std::uint32_t i = 0; i < kEntries; ++i) {
      const bool isFolder = i % 50 == 0;
      const std::string name = (i % 3 ? "Report_" : "img") + std::to_string(random() % 1000000) + (isFolder ? "" : ".txt");
      scan::NewEntry entry;
      entry.source = isFolder ? scan::kSourceSubfolder : 'D';
      entry.name = name;
      entry.kind = isFolder ? scan::kKindFolder : scan::kKindFile;
      entry.size = random() % (1u << 24);
      entry.compressedSize = entry.size;
      entry.clusterSize = 4096;
      record->AddEntry(entry);
      if (i % 4 == 0) {
        record->SetActivity(i, scan::EntryActivity{
                                   .readOnly = static_cast<std::uint32_t>(random() % 1000),
                                   .lastAccess = static_cast<std::uint32_t>(0x2A000000 + random() % 0x1000000)});
      }
    }
    record->Recalculate(4096);
    return record;
  }();
  return *folder;
}

void BM_Fill(benchmark::State& state) {
  const scan::CFolderInfo& folder = BigFolder();
  ui::FilesModel model;
  QTableView view;
  view.setModel(&model);
  for (auto _ : state) {
    model.Fill(files::MakeRows(folder));
    model.Sort(activity::kSortAccessCounter);
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.counters["entries"] = kEntries;
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State& state) {
  const auto key = static_cast<std::uint8_t>(state.range(0));
  ui::FilesModel model;
  QTableView view;
  view.setModel(&model);
  model.Fill(files::MakeRows(BigFolder()));
  for (auto _ : state) {
    state.PauseTiming();
    model.Sort(activity::kSortName == key ? activity::kSortSize : activity::kSortName);
    state.ResumeTiming();
    model.Sort(key);
  }
}
BENCHMARK(BM_Sort)
    ->Arg(activity::kSortName)->Arg(activity::kSortSize)->Arg(activity::kSortAccessCounter)->Arg(activity::kSortLastAccess)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
