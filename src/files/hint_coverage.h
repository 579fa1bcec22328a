#pragma once
// Whether the recorder watched a drive long enough for the hints that rest on the
// absence of accesses: "B" needs the idle window it judges covered, "C" the span its
// read rate divides by. Judged once per drive, and told to the user in words.

#include <cstdint>
#include <optional>
#include <string>

#include "activity/coverage.h"

namespace activity { struct AppState; }

namespace files {

// Days without any access after which an entry is recommended for a back-up.
inline constexpr std::uint32_t kBackUpIdleDays = 15;

struct DriveCoverage {
  bool database = false;  // the drive has a database record; nothing else matters without
  activity::CoverageLoad::State file = activity::CoverageLoad::State::Missing;
  std::string damage;                   // what is wrong with a damaged file
  activity::CoveredTime idleWindow;     // the last kBackUpIdleDays days
  activity::CoveredTime span;           // from the database's span start
  std::optional<std::int64_t> lastSeen; // the last moment recorded, UTC seconds
  std::int64_t now = 0;                 // UTC seconds the windows end at

  bool BackUpAllowed() const { return database && idleWindow.Enough(); }
  bool CompressAllowed() const { return database && span.Enough(); }
  // The drive has a database whose coverage withholds some of its hints.
  bool Withholds() const { return database && (!BackUpAllowed() || !CompressAllowed()); }
  // Why "B" / "C" is withheld, "" when it is not (or when the drive has no database):
  // "not recorded long enough: 3 of 15 days".
  std::string BackUpReason() const;
  std::string CompressReason() const;
  // One sentence for the user: "Recorded 3 of the last 15 days", "Not recorded since
  // 12 Nov", "Coverage file damaged: ..."; "" for a drive without a database.
  std::string Summary() const;
};

// The judgement for drive `letter` at the start-up stamp, from the database record as
// loaded (old state) and the coverage file read with it.
DriveCoverage JudgeCoverage(const activity::AppState& state, char letter);
// The Summary of the drive of `path` ("D:\..."), when its coverage withholds hints; "".
std::string WithheldSummary(const activity::AppState& state, const std::string& path);

}  // namespace files
