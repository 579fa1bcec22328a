#pragma once
// The recorder's coverage file: per watched drive, the periods during which the recorder
// really was recording it. A database that nobody fed reads as "never used"; this file
// tells the two apart. It lives beside the drive's access table as "FileCov" + drive
// letter + ".NVX" and belongs to this program alone (the access and name tables keep
// their formats).
//
// Layout (little-endian, packed):
//   0   8  magic "NVXCOVER"
//   8   4  version, 1
//   12  4  number of periods N
//   16  48 x N periods, oldest first:
//        0  8  start, seconds since 1970-01-01 UTC
//        8  8  last seen: the last moment the recorder was known to be recording
//        16 8  boot time of the machine the period ran in (UTC seconds; 0 unknown)
//        24 16 boot id (/proc/sys/kernel/random/boot_id as 16 bytes; all 0 unknown)
//        40 4  end: 0 open or ended unknown (killed, crashed, power lost), 1 clean
//              stop (also every declared period), 2 stopped at a shutdown
//        44 4  reserved, 0
//   16 + 48 x N  4  CRC-32 (IEEE) of every byte before it

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform { class System; }

namespace activity {

enum class PeriodEnd : std::uint32_t { Unknown = 0, CleanStop = 1, Shutdown = 2 };

using BootId = std::array<std::uint8_t, 16>;

struct CoveragePeriod {
  std::int64_t start = 0;
  std::int64_t lastSeen = 0;
  std::int64_t bootTime = 0;  // 0: unknown
  BootId bootId{};            // all 0: unknown
  PeriodEnd end = PeriodEnd::Unknown;
  bool operator==(const CoveragePeriod&) const = default;
};

inline constexpr std::size_t kCoverageHeaderSize = 16;
inline constexpr std::size_t kCoveragePeriodSize = 48;
inline constexpr std::size_t kCoverageTrailerSize = 4;
// More periods than a recorder restarted every minute for years: a count beyond it is damage.
inline constexpr std::uint32_t kMaxCoveragePeriods = 1'000'000;
// A last-seen moment may lie this far after the reader's clock (clocks of two processes,
// a small correction) before the file counts as written in the future.
inline constexpr std::int64_t kCoverageClockSlack = 300;

std::string CoverageFilePath(char location, char drive);
// Where a damaged coverage file is kept aside.
std::string DamagedCoveragePath(char location, char drive);

std::vector<std::uint8_t> SerializeCoverage(const std::vector<CoveragePeriod>& periods);

// The periods of a whole file, or nullopt with `damage` saying what is wrong: a wrong
// size, magic, version or checksum, a period that ends before it starts, periods out of
// order or overlapping, an unknown end, or a moment after `now` (plus the slack).
std::optional<std::vector<CoveragePeriod>> ParseCoverage(const std::vector<std::uint8_t>& bytes,
                                                         std::int64_t now, std::string* damage);

// What a drive's coverage file held when it was read.
struct CoverageLoad {
  enum class State { Missing, Loaded, Damaged };
  State state = State::Missing;
  std::vector<CoveragePeriod> periods;  // empty unless Loaded
  std::string damage;                   // what is wrong, when Damaged
};

CoverageLoad LoadCoverage(platform::System& system, char location, char drive, std::int64_t now);
// Replaces the file through a temporary file (flushed, then renamed over it).
bool SaveCoverage(platform::System& system, char location, char drive,
                  const std::vector<CoveragePeriod>& periods);

}  // namespace activity
