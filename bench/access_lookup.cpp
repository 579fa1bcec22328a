// Lookups per second in a loaded access table: the join every scanned file pays for.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "activity/access_tables.h"

namespace {

struct Fixture {
  activity::AccessTables tables;
  std::vector<std::uint64_t> present;
  std::vector<std::uint64_t> absent;
};

// A table of 1024 buckets of 4 filled to `fillPercent`, keys placed in their first
// bucket with room, else in the overflow order, as the recorder does.
Fixture Build(int fillPercent) {
  activity::DriveRecord record;  // defaults: 1024 buckets of 4
  const std::uint64_t capacity = record.Capacity();
  std::vector<activity::AccessRecord> table(capacity + 1);
  std::mt19937_64 random(7);
  Fixture fixture;
  const std::uint64_t wanted = capacity * fillPercent / 100;
  while (fixture.present.size() < wanted) {
    const std::uint64_t key = random() | 1;
    const auto k1 = static_cast<std::uint32_t>(key);
    const auto k2 = static_cast<std::uint32_t>(key >> 32);
    const auto probe = activity::ProbeFor(k1, k2, record.bucketMask, record.bucketSize);
    std::int64_t slot = -1;
    for (const auto bucket : probe.buckets) {
      for (std::uint64_t i = 0; i < record.bucketSize && slot < 0; ++i) {
        const auto index = std::uint64_t{bucket} * record.bucketSize + i;
        if (table[index].key == 0) slot = static_cast<std::int64_t>(index);
      }
      if (slot >= 0) break;
    }
    for (std::uint64_t n = 0; slot < 0 && n < capacity; ++n) {
      const auto index = (probe.overflowStart + n) % capacity;
      if (table[index].key == 0) slot = static_cast<std::int64_t>(index);
    }
    if (slot < 0) break;
    table[slot].key = k1;
    table[slot].readOnly = 1;
    fixture.present.push_back(key);
  }
  for (int i = 0; i < 4096; ++i) fixture.absent.push_back(random() | 1);
  record.recordsInUse = static_cast<std::uint32_t>(fixture.present.size());
  fixture.tables.Install('D', record, std::move(table));
  return fixture;
}

void LookupPresent(benchmark::State& state) {
  const auto fixture = Build(static_cast<int>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fixture.tables.Find('D', fixture.present[i]));
    i = (i + 1) % fixture.present.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LookupPresent)->Arg(50)->Arg(90);

void LookupAbsent(benchmark::State& state) {
  const auto fixture = Build(static_cast<int>(state.range(0)));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(fixture.tables.Find('D', fixture.absent[i]));
    i = (i + 1) % fixture.absent.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(LookupAbsent)->Arg(50)->Arg(90);

}  // namespace

BENCHMARK_MAIN();
