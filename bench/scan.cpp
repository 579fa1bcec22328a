// The scan of a generated tree (and of /usr when present): entries per second and what
// each scanned entry costs in memory, names included.
//
//   bench_scan [--benchmark_filter=...]     NORVEX_BENCH_FILES sets the generated tree's size

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "files/hint_refresh.h"
#include "platform/dos_time.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "scan/folder_info.h"
#include "scan/heap_usage.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "activity/app_state.h"
#include "common/silent_status.h"

namespace {

std::size_t GeneratedFiles() {
  const char* text = std::getenv("NORVEX_BENCH_FILES");
  return text ? std::strtoull(text, nullptr, 10) : 100000;
}

// A temporary tree of `files` files, 100 per folder, two folder levels, with sizes that
// need no disk space (sparse) and names of typical lengths; removed at exit.
class GeneratedTree {
 public:
  explicit GeneratedTree(std::size_t files) {
    dir_ = std::filesystem::temp_directory_path() / ("norvex-bench-scan-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "state");
    std::mt19937 random(42);
    std::uniform_int_distribution<int> nameLength(4, 24);
    std::uniform_int_distribution<off_t> size(0, 1 << 20);
    for (std::size_t i = 0; i < files; ++i) {
      const std::filesystem::path folder =
          dir_ / "tree" / ("group" + std::to_string(i / 10000)) / ("folder" + std::to_string(i / 100));
      if (i % 100 == 0) std::filesystem::create_directories(folder);
      const std::string name = std::string(static_cast<std::size_t>(nameLength(random)), 'f') +
                               std::to_string(i) + ".dat";
      const int fd = ::open((folder / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd < 0 || ::ftruncate(fd, size(random)) != 0) std::abort();
      ::close(fd);
    }
  }
  ~GeneratedTree() { std::filesystem::remove_all(dir_); }
  std::string Root() const { return (dir_ / "tree").string(); }
  std::string State() const { return (dir_ / "state").string(); }

 private:
  std::filesystem::path dir_;
};

const GeneratedTree& Tree() {
  static const GeneratedTree tree(GeneratedFiles());
  return tree;
}

// Scans drive D: mapped to `hostRoot` as F5 on the drive does, once per iteration.
void ScanDrive(benchmark::State& bench, const std::string& hostRoot) {
  platform::Environment environment;
  environment.stateDir = Tree().State();
  environment.drives.Set('C', Tree().State());
  environment.drives.Set('D', hostRoot);
  const platform::HostSystem system(environment);
  common::SilentStatus status;

  std::uint64_t entries = 0;
  double heapBytes = 0;
  double recordBytes = 0;
  for (auto _ : bench) {
    activity::AppState state;
    auto driveList = std::make_unique<scan::CFolderInfo>();
    scan::CFolderInfo& root = scan::RecordForPath(*driveList, "D:\\");
    const std::size_t before = scan::HeapBytesInUse();
    const scan::ScannedSubtree scanned = scan::ScanInPlace(root, false, system, state, status);
    heapBytes = static_cast<double>(scan::HeapBytesInUse() - before);
    recordBytes = static_cast<double>(driveList->MemoryFootprint());
    entries = scanned.entries;
    bench.PauseTiming();
    driveList.reset();
    bench.ResumeTiming();
  }
  bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations() * entries));
  bench.counters["entries"] = static_cast<double>(entries);
  bench.counters["heap_bytes_per_entry"] = heapBytes / static_cast<double>(std::max<std::uint64_t>(entries, 1));
  bench.counters["record_bytes_per_entry"] = recordBytes / static_cast<double>(std::max<std::uint64_t>(entries, 1));
}

void BM_ScanGeneratedTree(benchmark::State& bench) { ScanDrive(bench, Tree().Root()); }
BENCHMARK(BM_ScanGeneratedTree)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScanUsr(benchmark::State& bench) {
  if (!std::filesystem::is_directory("/usr")) {
    bench.SkipWithError("no /usr here");
    return;
  }
  ScanDrive(bench, "/usr");
}
BENCHMARK(BM_ScanUsr)->Unit(benchmark::kMillisecond)->UseRealTime();

// Drive D: over the generated tree, scanned once, for the passes that follow a scan.
// `database`: with a database whose span started 20 days ago, so that hints are judged
// rather than skipped.
class ScannedDrive {
 public:
  explicit ScannedDrive(bool database) : system_(Environment()) {
    if (database) {
      const auto now = static_cast<std::int64_t>(std::time(nullptr));
      state_.StartupStamp = platform::DosDateTimeFromUtc(now);
      state_.driveTable.AppendDefaultRecord(4, platform::DosDateTimeFromLocal(now - 20 * 86400));
      state_.driveTable.AcceptNewState();
    }
    common::SilentStatus status;
    entries_ = scan::ScanInPlace(Root(), false, system_, state_, status).entries;
  }
  scan::CFolderInfo& Root() { return scan::RecordForPath(driveList_, "D:\\"); }
  scan::CFolderInfo& DriveList() { return driveList_; }
  const activity::AppState& State() const { return state_; }
  const platform::System& System() const { return system_; }
  std::int64_t Entries() const { return static_cast<std::int64_t>(entries_); }

 private:
  static platform::Environment Environment() {
    platform::Environment environment;
    environment.drives.Set('C', Tree().State());
    environment.drives.Set('D', Tree().Root());
    return environment;
  }

  const platform::HostSystem system_;
  activity::AppState state_;
  scan::CFolderInfo driveList_;
  std::uint64_t entries_ = 0;
};

// The closing pass over the whole drive that follows every scan.
void BM_RecalculateDrive(benchmark::State& bench) {
  ScannedDrive drive(false);
  for (auto _ : bench) {
    drive.Root().Recalculate(4096);
    benchmark::DoNotOptimize(drive.Root().totalActualSize);
  }
  bench.SetItemsProcessed(bench.iterations() * drive.Entries());
}
BENCHMARK(BM_RecalculateDrive)->Unit(benchmark::kMillisecond);

// The other pass after every scan: every entry's hint.
void BM_RefreshHints(benchmark::State& bench) {
  ScannedDrive drive(true);
  for (auto _ : bench) {
    files::RefreshHints(drive.DriveList(), drive.State(), drive.System());
    benchmark::DoNotOptimize(drive.Root().hints()[0]);
  }
  bench.SetItemsProcessed(bench.iterations() * drive.Entries());
}
BENCHMARK(BM_RefreshHints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
