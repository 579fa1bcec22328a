#include "declare_coverage.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <ostream>

#include "activity/coverage_file.h"
#include "activity/drive_table.h"
#include "activity/recorder_control.h"
#include "platform/dos_time.h"

namespace recorder_tool {
namespace {

std::optional<std::int64_t> LocalMoment(const std::string& text) {
  const auto dos = platform::ParseDosDateTime(text);
  return dos ? platform::EpochFromLocalDosDateTime(*dos) : std::nullopt;
}

std::optional<char> Letter(const std::string& text) {
  if (text.size() == 2 && text[1] == ':') {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (c >= 'A' && c <= 'Z') return c;
  }
  return std::nullopt;
}

// The periods with `period` in its place; nullopt when it overlaps one of them.
std::optional<std::vector<activity::CoveragePeriod>> Inserted(std::vector<activity::CoveragePeriod> periods,
                                                              const activity::CoveragePeriod& period) {
  const auto at = std::find_if(periods.begin(), periods.end(),
                               [&](const activity::CoveragePeriod& p) { return p.start >= period.start; });
  if (at != periods.end() && at->start < period.lastSeen) return std::nullopt;
  if (at != periods.begin() && std::prev(at)->lastSeen > period.start) return std::nullopt;
  periods.insert(at, period);
  return periods;
}

}  // namespace

bool DeclaresCoverage(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), "--covered") != args.end();
}

int RunDeclareCoverage(platform::System& system, const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() < 4 || args[0] != "--covered") {
    err << "norvex-recorder: usage: record --covered \"FROM\" \"TO\" DRIVE...\n";
    return 2;
  }
  const auto from = LocalMoment(args[1]);
  const auto to = LocalMoment(args[2]);
  const std::int64_t now = system.Now();
  if (!from || !to || *to <= *from) {
    err << "norvex-recorder: --covered needs two local times \"YYYY-MM-DD HH:MM:SS\", the first before the second\n";
    return 2;
  }
  if (*to > now) {
    err << "norvex-recorder: --covered cannot declare a period that ends in the future\n";
    return 2;
  }
  std::vector<char> drives;
  for (std::size_t i = 3; i < args.size(); ++i) {
    const auto letter = Letter(args[i]);
    if (!letter) {
      err << "norvex-recorder: '" << args[i] << "' is not a drive (expected X:)\n";
      return 2;
    }
    drives.push_back(*letter);
  }

  // A running daemon writes its periods out and lets go of the files meanwhile.
  const activity::RecorderHold hold(system);
  activity::DriveTable table;
  if (!table.Load(system)) {
    err << "norvex-recorder: could not read " << activity::kDriveTablePath << "\n";
    return 1;
  }
  int failures = 0;
  for (const char drive : drives) {
    const int index = table.Find(activity::DriveNumber(drive));
    if (index < 0) {
      err << "norvex-recorder: " << drive << ": has no database\n";
      ++failures;
      continue;
    }
    const char location = activity::DriveLetter(table.NewState()[static_cast<std::size_t>(index)].location);
    const std::string path = activity::CoverageFilePath(location, drive);
    const activity::CoverageLoad load = activity::LoadCoverage(system, location, drive, now);
    if (load.state == activity::CoverageLoad::State::Damaged) {
      err << "norvex-recorder: " << path << " is damaged (" << load.damage << "); not changing it\n";
      ++failures;
      continue;
    }
    const auto periods = Inserted(load.periods, {*from, *to, 0, {}, activity::PeriodEnd::CleanStop});
    if (!periods) {
      err << "norvex-recorder: " << drive << ": the period overlaps one already recorded\n";
      ++failures;
    } else if (!activity::SaveCoverage(system, location, drive, *periods)) {
      err << "norvex-recorder: could not write " << path << "\n";
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace recorder_tool
