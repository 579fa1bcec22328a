#include "activity/coverage.h"

#include <algorithm>
#include <utility>

namespace activity {
namespace {

using Stretch = std::pair<std::int64_t, std::int64_t>;

bool KnownBoot(const BootId& id) {
  return std::any_of(id.begin(), id.end(), [](std::uint8_t b) { return b != 0; });
}

// The period's recorder started with its machine.
bool StartedAtBoot(const CoveragePeriod& period) {
  return period.bootTime > 0 && period.bootTime <= period.start && period.start - period.bootTime <= kBootGrace;
}

// `before` ended at a shutdown and `after` ran in the next boot: the machine was off
// from the one's last moment to the other's boot.
bool OffBetween(const CoveragePeriod& before, const CoveragePeriod& after) {
  return before.end == PeriodEnd::Shutdown && KnownBoot(before.bootId) && KnownBoot(after.bootId) &&
         before.bootId != after.bootId && StartedAtBoot(after) && after.bootTime >= before.lastSeen;
}

}  // namespace

CoveredTime CoverageOf(const std::vector<CoveragePeriod>& periods, std::int64_t from, std::int64_t to) {
  CoveredTime time;
  if (to <= from) return time;
  time.length = to - from;
  std::vector<Stretch> stretches;
  for (std::size_t i = 0; i < periods.size(); ++i) {
    const CoveragePeriod& period = periods[i];
    stretches.emplace_back(period.start, period.lastSeen);
    if (StartedAtBoot(period)) stretches.emplace_back(period.bootTime, period.start);
    if (i > 0 && OffBetween(periods[i - 1], period)) stretches.emplace_back(periods[i - 1].lastSeen, period.bootTime);
  }
  // A file written under a clock set back can hold stretches in any order: the union
  // counts each moment once, and only inside [from, to].
  std::sort(stretches.begin(), stretches.end());
  std::int64_t reached = from;
  for (auto [start, end] : stretches) {
    start = std::max(start, reached);
    end = std::min(end, to);
    if (end <= start) continue;
    time.covered += end - start;
    reached = end;
  }
  return time;
}

}  // namespace activity
