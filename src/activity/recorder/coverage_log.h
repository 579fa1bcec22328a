#pragma once
// The recorder's side of the coverage files: while it records a drive it keeps one
// period open in that drive's file and moves its last-seen moment forward at every
// write-out, so that a recorder killed without warning loses at most one interval.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "activity/coverage_file.h"

namespace platform { class System; }

namespace activity::recorder {

struct Machine {
  BootId bootId{};            // all 0 when unknown
  std::int64_t bootTime = 0;  // 0 when unknown
};

struct WatchedDatabase {
  char drive = 0;
  char location = 0;
};

class CoverageLog {
 public:
  CoverageLog(platform::System& system, Machine machine);

  // Reads the coverage file of every database now recorded and opens a period in each,
  // or goes on with the one opened before a hold when the file still ends with it (it
  // does not after the program emptied or rebuilt the database). A damaged file is
  // kept aside (never written over) and named in `warnings`.
  void Open(const std::vector<WatchedDatabase>& databases, std::int64_t now, std::vector<std::string>* warnings);
  // Moves every open period's last-seen moment to `now` and writes the files. A clock
  // set back moves nothing until it has caught up. False (with `error`) when a file
  // could not be written; the others are written all the same.
  bool Flush(std::int64_t now, std::string* error);
  // Flush, then lets go of the files; the periods stay open for the next Open.
  bool Suspend(std::int64_t now, std::string* error);
  // Ends every open period as `end`, writes the files and forgets them.
  bool End(PeriodEnd end, std::int64_t now, std::string* error);

 private:
  struct Drive {
    char location = 0;
    std::vector<CoveragePeriod> periods;
    bool recording = false;  // the last period is ours and open
  };
  void OpenDrive(const WatchedDatabase& database, std::int64_t now, std::vector<std::string>* warnings);
  void Begin(std::size_t slot, std::int64_t now);

  platform::System& system_;
  const Machine machine_;
  std::array<std::optional<Drive>, 26> drives_{};
  // The start of the period opened on each drive, remembered across holds.
  std::array<std::optional<std::int64_t>, 26> started_{};
};

}  // namespace activity::recorder
