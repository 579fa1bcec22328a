#include "activity/recorder/placement.h"

#include "activity/access_tables.h"

namespace activity::recorder {

std::int64_t FindOrPlace(std::vector<AccessRecord>& table, const DriveRecord& record,
                         std::uint32_t k1, std::uint32_t k2, bool* created) {
  *created = false;
  const std::uint64_t capacity = record.Capacity();
  if (k1 == 0 || capacity == 0 || table.size() < capacity + 1) return -1;

  // An empty database may still hold stale records: the lookup ignores them, so must we.
  if (record.recordsInUse != 0) {
    const std::int64_t found = LookupIn(table, record, k1, k2);
    if (found >= 0) return found;
  }

  const BucketProbe probe = ProbeFor(k1, k2, record.bucketMask, record.bucketSize);
  const auto take = [&](std::uint64_t index) {
    table[static_cast<std::size_t>(index)] = AccessRecord{};
    table[static_cast<std::size_t>(index)].key = k1;
    *created = true;
    return static_cast<std::int64_t>(index);
  };
  for (const std::uint32_t bucket : probe.buckets) {
    const std::uint64_t first = std::uint64_t{bucket} * record.bucketSize;
    for (std::uint64_t i = first; i < first + record.bucketSize; ++i) {
      if (table[static_cast<std::size_t>(i)].key == 0) return take(i);
    }
  }
  // The lookup's overflow order: forward from after the fourth bucket, then from the
  // start; its first free slot is where a search for this key would stop.
  for (std::uint64_t i = probe.overflowStart; i < capacity; ++i) {
    if (table[static_cast<std::size_t>(i)].key == 0) return take(i);
  }
  for (std::uint64_t i = 0; i <= probe.overflowStart && i < capacity; ++i) {
    if (table[static_cast<std::size_t>(i)].key == 0) return take(i);
  }
  return -1;
}

}  // namespace activity::recorder
