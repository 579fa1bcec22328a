// A coverage file: the first 8 input bytes are the reader's clock (seconds, UTC), the
// rest is "C:\FileCovD.NVX". Whatever it holds, the parser accepts only periods in
// order, each ending after it starts and none in the future, and writes back exactly
// what it read; the covered time never exceeds the stretch asked about. The recorder
// keeps a refused file aside byte for byte and never writes over it.

#include <string>
#include <vector>

#include "activity/coverage.h"
#include "activity/coverage_file.h"
#include "activity/recorder/coverage_log.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::Input input(data, size);
  // A clock from 1970 to about 2100, as a recorder could read it.
  const std::int64_t now = static_cast<std::int64_t>(input.U64() % 4'102'444'800ull);
  const std::string content(input.Rest());
  const std::vector<std::uint8_t> bytes(content.begin(), content.end());

  std::string damage;
  const auto periods = activity::ParseCoverage(bytes, now, &damage);
  if (periods) {
    FUZZ_CHECK(activity::SerializeCoverage(*periods) == bytes);
    for (std::size_t i = 0; i < periods->size(); ++i) {
      const activity::CoveragePeriod& period = (*periods)[i];
      FUZZ_CHECK(period.start <= period.lastSeen && period.lastSeen <= now + activity::kCoverageClockSlack);
      if (i > 0) FUZZ_CHECK((*periods)[i - 1].lastSeen <= period.start);
    }
    for (const std::int64_t back : {std::int64_t{3600}, std::int64_t{15 * 86400}, now}) {
      const activity::CoveredTime time = activity::CoverageOf(*periods, now - back, now);
      FUZZ_CHECK(time.covered >= 0 && time.covered <= time.length);
    }
  } else {
    FUZZ_CHECK(!damage.empty());
  }

  auto& drives = fuzz_support::ScratchDrives::Fresh();
  const std::string path = drives.Host(activity::CoverageFilePath('C', 'D'));
  drives.WriteHostFile(path, content);
  activity::recorder::CoverageLog log(drives.System(), {{1, 2, 3}, 0});
  std::vector<std::string> warnings;
  log.Open({{'D', 'C'}}, now, &warnings);
  std::string error;
  log.End(activity::PeriodEnd::CleanStop, now, &error);
  if (!periods) {
    FUZZ_CHECK(warnings.size() == 1);
    FUZZ_CHECK(drives.ReadHostFile(drives.Host(activity::DamagedCoveragePath('C', 'D'))) == content);
  }
  // What the recorder leaves is always a file the reader accepts.
  const activity::CoverageLoad load = activity::LoadCoverage(drives.System(), 'C', 'D', now);
  FUZZ_CHECK(load.state == activity::CoverageLoad::State::Loaded);
  return 0;
}
