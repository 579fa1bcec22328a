// Path keys per second for paths of typical lengths: one at a time, and in batches with
// every hashing kernel this processor runs. Reports ns per key and ns per round (a key
// of n key-text blocks runs 5 * n * 16 rounds). BM_HashBatch times the hash alone over
// ready work buffers; BM_PathKeys also builds the key texts.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "activity/key_hash.h"
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

// Argument 1 of the batched benchmarks: the kernel.
bool KernelOrSkip(benchmark::State& state, activity::HashKernel& kernel) {
  kernel = static_cast<activity::HashKernel>(state.range(1));
  state.SetLabel(activity::HashKernelName(kernel));
  if (activity::HashKernelRuns(kernel)) return true;
  state.SkipWithError("the processor cannot run this kernel");
  return false;
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

void BM_PathKeys(benchmark::State& state) {
  activity::HashKernel kernel;
  if (!KernelOrSkip(state, kernel)) return;
  const auto length = static_cast<std::size_t>(state.range(0));
  const std::vector<std::string> paths = MakePaths(length);
  const std::vector<std::string_view> views(paths.begin(), paths.end());
  const activity::NetworkNames names{};
  activity::PathKeyHasher hasher(kernel);
  std::vector<std::uint64_t> keys(paths.size());
  for (auto _ : state) {
    hasher.Keys(views, names, keys);
    benchmark::DoNotOptimize(keys.data());
    benchmark::ClobberMemory();
  }
  Report(state, length);
}

void BM_HashBatch(benchmark::State& state) {
  activity::HashKernel kernel;
  if (!KernelOrSkip(state, kernel)) return;
  const auto length = static_cast<std::size_t>(state.range(0));
  const activity::NetworkNames names{};
  // The work buffers as PathKeys builds them: key texts as word pairs, zero-padded.
  std::vector<std::uint32_t> words;
  std::vector<activity::KeyBlocks> texts;
  for (const std::string& path : MakePaths(length)) {
    const std::vector<std::uint16_t> text = activity::BuildKeyText(path, names);
    const std::size_t blocks = (text.size() * 2 + 7) / 8;
    texts.push_back({static_cast<std::uint32_t>(words.size()), static_cast<std::uint32_t>(blocks)});
    words.resize(words.size() + 2 * blocks);
    for (std::size_t i = 0; i < text.size(); ++i) {
      words[texts.back().offset + i / 2] |= std::uint32_t{text[i]} << (16 * (i % 2));
    }
  }
  std::vector<std::uint64_t> keys(texts.size());
  for (auto _ : state) {
    activity::HashBatch(kernel, words.data(), texts, keys);
    benchmark::DoNotOptimize(keys.data());
    benchmark::ClobberMemory();
  }
  Report(state, length);
}

constexpr auto kInterleaved = static_cast<std::int64_t>(activity::HashKernel::Interleaved);
constexpr auto kAvx512 = static_cast<std::int64_t>(activity::HashKernel::Avx512Vbmi);

BENCHMARK(BM_PathKeySingle)->Arg(30)->Arg(60)->Arg(200);
BENCHMARK(BM_PathKeys)->ArgsProduct({{30, 60, 200}, benchmark::CreateDenseRange(kInterleaved, kAvx512, 1)});
BENCHMARK(BM_HashBatch)->ArgsProduct({{30, 60, 200}, benchmark::CreateDenseRange(kInterleaved, kAvx512, 1)});

}  // namespace

BENCHMARK_MAIN();
