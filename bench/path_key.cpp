// Path keys per second, one at a time and in interleaved batches, for paths of typical
// lengths. Reports ns per key and ns per round (a key of n key-text blocks runs
// 5 * n * 16 rounds).

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "activity/path_key.h"

namespace {

constexpr std::size_t kPathCount = 1024;

// Distinct paths of exactly `length` characters: folders of 3 to 12 characters.
std::vector<std::string> MakePaths(std::size_t length) {
  std::mt19937 random(static_cast<unsigned>(length));
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < kPathCount; ++i) {
    std::string path = "C:\\";
    std::size_t nextSeparator = path.size() + 3 + random() % 10;
    while (path.size() < length) {
      if (path.size() == nextSeparator && path.size() + 2 < length) {
        path += '\\';
        nextSeparator = path.size() + 3 + random() % 10;
      } else {
        path += static_cast<char>("abcdefghijklmnopqrstuvwxyzABCDEF0123 ._"[random() % 39]);
      }
    }
    paths.push_back(path);
  }
  return paths;
}

double RoundsPerKey(std::size_t length) {
  const std::size_t bytes = 2 * (length - 2 + 3);
  return 5.0 * 16.0 * static_cast<double>((bytes + 7) / 8);
}

void Report(benchmark::State& state, std::size_t length) {
  const double keys = static_cast<double>(state.iterations()) * kPathCount;
  state.SetItemsProcessed(static_cast<std::int64_t>(keys));
  state.counters["ns/key"] = benchmark::Counter(keys, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ns/round"] =
      benchmark::Counter(keys * RoundsPerKey(length), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PathKeySingle(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  const std::vector<std::string> paths = MakePaths(length);
  const activity::NetworkNames names{};
  for (auto _ : state) {
    for (const std::string& path : paths) benchmark::DoNotOptimize(activity::PathKey(path, names));
  }
  Report(state, length);
}

void BM_PathKeysBatched(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  const auto batch = static_cast<std::size_t>(state.range(1));
  const std::vector<std::string> paths = MakePaths(length);
  const std::vector<std::string_view> views(paths.begin(), paths.end());
  const activity::NetworkNames names{};
  std::vector<std::uint64_t> keys(paths.size());
  for (auto _ : state) {
    for (std::size_t start = 0; start < views.size(); start += batch) {
      const std::size_t count = std::min(batch, views.size() - start);
      activity::PathKeys(std::span(views).subspan(start, count), names, std::span(keys).subspan(start, count));
    }
    benchmark::DoNotOptimize(keys.data());
    benchmark::ClobberMemory();
  }
  Report(state, length);
}

BENCHMARK(BM_PathKeySingle)->Arg(30)->Arg(60)->Arg(200);
// Batches of 4 and 6 (one key per lane), 32 and a whole 1024-file folder.
BENCHMARK(BM_PathKeysBatched)->ArgsProduct({{30, 60, 200}, {4, 6, 32, 1024}});

}  // namespace

BENCHMARK_MAIN();
