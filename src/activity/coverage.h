#pragma once
// How much of a stretch of time the recorder really watched a drive, from the periods
// of its coverage file. Covered time is:
//   - every period, from its start to its last-seen moment;
//   - the gap between a period that ended at a shutdown and the next period, when that
//     one ran in another boot (the machine was off meanwhile);
//   - the minutes between a boot and the recorder's start (at most kBootGrace).
// Time when the machine ran without the recorder is not covered. A stretch counts as
// covered when at most kCoverageTolerance of it is not. Pure: no clock, no files.

#include <cstdint>
#include <vector>

#include "activity/coverage_file.h"

namespace activity {

// A recorder started later than this after its boot did not start with the machine.
inline constexpr std::int64_t kBootGrace = 10 * 60;
// Uncovered time a stretch may hold and still count as covered: the last write-out
// before the reader's clock (at most the recorder's interval), a recorder restarted for
// an update, a declared period given to the minute.
inline constexpr std::int64_t kCoverageTolerance = 15 * 60;

struct CoveredTime {
  std::int64_t covered = 0;  // seconds of [from, to] that were covered
  std::int64_t length = 0;   // to - from (0 when to < from)
  bool Enough() const { return length - covered <= kCoverageTolerance; }
};

CoveredTime CoverageOf(const std::vector<CoveragePeriod>& periods, std::int64_t from, std::int64_t to);

}  // namespace activity
