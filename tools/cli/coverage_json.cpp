#include "coverage_json.h"

#include <cstdio>

#include "platform/dos_time.h"

namespace cli {
namespace {

std::string LocalText(std::int64_t moment) {
  return platform::FormatSystemTime(platform::LocalSystemTimeFromEpoch(moment), "%Y-%m-%d %H:%M:%S");
}

std::string Hex(const activity::BootId& id) {
  std::string text;
  char digits[3];
  for (const std::uint8_t byte : id) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

const char* EndText(activity::PeriodEnd end) {
  switch (end) {
    case activity::PeriodEnd::CleanStop: return "clean stop";
    case activity::PeriodEnd::Shutdown: return "shutdown";
    case activity::PeriodEnd::Unknown: break;
  }
  return "unknown";
}

const char* StateText(activity::CoverageLoad::State state) {
  switch (state) {
    case activity::CoverageLoad::State::Loaded: return "loaded";
    case activity::CoverageLoad::State::Damaged: return "damaged";
    case activity::CoverageLoad::State::Missing: break;
  }
  return "missing";
}

void WriteCoveredTime(tools::JsonWriter& json, const char* key, const activity::CoveredTime& time) {
  json.Key(key).Object()
      .Key("coveredSeconds").Signed(time.covered)
      .Key("seconds").Signed(time.length)
      .Member("enough", time.Enough())
      .End();
}

void WriteHint(tools::JsonWriter& json, const char* key, bool allowed, const std::string& reason) {
  json.Key(key).Object().Member("allowed", allowed).MemberOrNull("reason", allowed ? std::nullopt : std::optional(reason)).End();
}

}  // namespace

void WriteCoverageFileJson(tools::JsonWriter& json, const std::string& file, const activity::CoverageLoad& load) {
  json.Object()
      .Member("file", file)
      .Member("state", StateText(load.state))
      .MemberOrNull("damage", load.damage.empty() ? std::nullopt : std::optional(load.damage))
      .Key("periods")
      .Array();
  for (const activity::CoveragePeriod& period : load.periods) {
    json.Object()
        .Member("start", LocalText(period.start))
        .Member("lastSeen", LocalText(period.lastSeen))
        .Key("startUtc").Signed(period.start)
        .Key("lastSeenUtc").Signed(period.lastSeen)
        .Key("bootTimeUtc").Signed(period.bootTime)
        .Member("bootId", Hex(period.bootId))
        .Member("end", EndText(period.end))
        .End();
  }
  json.End().End();
}

void WriteCoverageJudgementJson(tools::JsonWriter& json, char drive, const files::DriveCoverage& coverage) {
  json.Object()
      .Member("drive", std::string{drive, ':'})
      .Member("database", coverage.database)
      .Member("summary", coverage.Summary());
  WriteCoveredTime(json, "idleWindow", coverage.idleWindow);
  WriteCoveredTime(json, "span", coverage.span);
  WriteHint(json, "backUp", coverage.BackUpAllowed(), coverage.BackUpReason());
  WriteHint(json, "compress", coverage.CompressAllowed(), coverage.CompressReason());
  json.End();
}

}  // namespace cli
