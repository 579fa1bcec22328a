#include "files/hint_coverage.h"

#include "activity/app_state.h"
#include "platform/dos_time.h"

namespace files {
namespace {

constexpr std::int64_t kDay = 24 * 3600;

std::string DaysOf(const activity::CoveredTime& time) {
  // Whole days recorded, of the stretch to the nearest day (a span started this time
  // of day 20 days ago is 20 days long, not 21).
  return std::to_string(time.covered / kDay) + " of " + std::to_string((time.length + kDay / 2) / kDay) + " days";
}

std::string Withheld(const DriveCoverage& coverage, const activity::CoveredTime& time) {
  if (!coverage.database) return "";  // no database: no hints at all, coverage or not
  if (coverage.file == activity::CoverageLoad::State::Damaged) return "coverage file damaged: " + coverage.damage;
  return "not recorded long enough: " + DaysOf(time);
}

std::string LocalDate(std::int64_t moment) {
  return platform::FormatSystemTime(platform::LocalSystemTimeFromEpoch(moment), "%d %b %Y");
}

}  // namespace

std::string DriveCoverage::BackUpReason() const { return BackUpAllowed() ? "" : Withheld(*this, idleWindow); }

std::string DriveCoverage::CompressReason() const { return CompressAllowed() ? "" : Withheld(*this, span); }

std::string DriveCoverage::Summary() const {
  if (!database) return "";
  if (file == activity::CoverageLoad::State::Damaged) {
    return "Activity coverage unknown, the coverage file is damaged (" + damage + "): no B or C hints";
  }
  if (!lastSeen) return "Activity never recorded on this drive: no B or C hints";
  std::string text;
  if (now - *lastSeen > activity::kCoverageTolerance) text = "Not recorded since " + LocalDate(*lastSeen) + ": ";
  const std::string recorded = text.empty() ? "Recorded " : "recorded ";
  if (!BackUpAllowed()) {
    return text + recorded + std::to_string(idleWindow.covered / kDay) + " of the last " +
           std::to_string(kBackUpIdleDays) + " days: no B hints";
  }
  if (!CompressAllowed()) {
    return text + recorded + DaysOf(span) +
           " since the database began: no C hints";
  }
  return "Recorded throughout the database's span";
}

DriveCoverage JudgeCoverage(const activity::AppState& state, char letter) {
  DriveCoverage coverage;
  const std::optional<std::int64_t> now = platform::EpochFromUtcDosDateTime(state.StartupStamp);
  if (letter < 'A' || letter > 'Z' || !now) return coverage;
  coverage.now = *now;
  const int index = state.driveTable.Find(activity::DriveNumber(letter), activity::TableState::Old);
  if (index < 0) return coverage;
  coverage.database = true;
  const activity::CoverageLoad& load = state.coverage[static_cast<std::size_t>(activity::DriveIndex(letter))];
  coverage.file = load.state;
  coverage.damage = load.damage;
  if (!load.periods.empty()) coverage.lastSeen = load.periods.back().lastSeen;
  coverage.idleWindow = activity::CoverageOf(load.periods, *now - kBackUpIdleDays * kDay, *now);
  const std::uint32_t spanStart = state.driveTable.OldState()[static_cast<std::size_t>(index)].spanStart;
  // A span start that is no date, or lies ahead, leaves a span of nothing: the span rule
  // of the hints withholds every hint then anyway.
  const std::int64_t from = platform::EpochFromLocalDosDateTime(spanStart).value_or(*now);
  coverage.span = activity::CoverageOf(load.periods, from, *now);
  return coverage;
}

std::string WithheldSummary(const activity::AppState& state, const std::string& path) {
  if (path.empty()) return "";
  const DriveCoverage coverage = JudgeCoverage(state, path[0]);
  return coverage.Withholds() ? coverage.Summary() : "";
}

}  // namespace files
