#pragma once
// Dates and times as the program stores and shows them.
//
// A DOS date-time packs a date into the high 16 bits ((year - 1980) * 512 + month * 32 +
// day) and a time into the low 16 bits (hour * 2048 + minute * 32 + second / 2); compared
// as unsigned numbers they order by time. It carries no time zone: whoever packs one
// decides whether the fields are UTC or local time.
//
// The Windows clock functions the program was designed around are provided on
// FileTime = 100-nanosecond intervals since 1601-01-01, with the same names and the same
// failures (nullopt where Windows returns FALSE). Epoch values are seconds since
// 1970-01-01 UTC, as System::Now() gives them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class System;

struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;      // 1..12
  std::uint16_t dayOfWeek = 0;  // 0 = Sunday
  std::uint16_t day = 0;        // 1..31
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
  bool operator==(const SystemTime&) const = default;
};

using FileTime = std::uint64_t;

// 2099-12-31 23:59:58, the span end that means "no end".
inline constexpr std::uint32_t kDosDateTimeNoEnd = 0xEF9FBF7D;
inline constexpr FileTime kFileTimeTicksPerSecond = 10'000'000;

// --- calendar ------------------------------------------------------------------
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
int DayOfWeek(int year, int month, int day);  // 0 = Sunday
// Every field in range (year 1601..30827); dayOfWeek is not checked.
bool IsValidSystemTime(const SystemTime& time);

// --- DOS date-time packing ---------------------------------------------------------
// Packs the fields (seconds halved). Times before 1980-01-01 give 1980-01-01 00:00:00 and
// times after 2107-12-31 23:59:58 give that, the range the packing can hold.
std::uint32_t PackDosDateTime(const SystemTime& time);
// "YYYY-MM-DD HH:MM:SS" (a command-line moment) packed; nullopt for any other text, an
// impossible date or a year the packing cannot hold (before 1980, after 2107).
std::optional<std::uint32_t> ParseDosDateTime(std::string_view text);
// The raw fields of a packed value (dayOfWeek 0, milliseconds 0), unchecked: a damaged
// value can give month 0 or day 31 of February. Use DosDateTimeToFileTime to check.
SystemTime UnpackDosDateTime(std::uint32_t dosDateTime);

// --- the Windows clock functions ---------------------------------------------------
SystemTime GetSystemTime(const System& system);  // UTC now, from system.Now()
std::optional<FileTime> SystemTimeToFileTime(const SystemTime& time);
std::optional<SystemTime> FileTimeToSystemTime(FileTime fileTime);
// No time-zone conversion; fails for impossible fields (month 0, 30 February, hour 24...).
std::optional<FileTime> DosDateTimeToFileTime(std::uint32_t dosDateTime);
// Fails outside 1980-01-01 .. 2107-12-31 23:59:59.
std::optional<std::uint32_t> FileTimeToDosDateTime(FileTime fileTime);
// Local wall-clock time <-> UTC, with the offset (and daylight saving) in force at that
// moment, not at the present one. A local time that never existed (skipped by a clock
// change) moves forward; a repeated one takes its first occurrence.
std::optional<FileTime> LocalFileTimeToFileTime(FileTime localFileTime);
std::optional<FileTime> FileTimeToLocalFileTime(FileTime fileTime);

// --- epoch seconds -----------------------------------------------------------------
FileTime FileTimeFromEpoch(std::int64_t epochSeconds);  // 0 before 1601
std::int64_t EpochFromFileTime(FileTime fileTime);
SystemTime SystemTimeFromEpoch(std::int64_t epochSeconds);  // UTC fields
std::optional<std::int64_t> EpochFromSystemTime(const SystemTime& utc);

// --- the program's shortcuts -------------------------------------------------------
std::uint32_t DosDateTimeFromUtc(std::int64_t epochSeconds);    // UTC fields packed
std::uint32_t DosDateTimeFromLocal(std::int64_t epochSeconds);  // local fields packed
std::uint32_t DosDateTimeNowUtc(const System& system);          // the start-up stamp
// The moment a DOS date-time stands for when its fields are local / UTC time.
std::optional<std::int64_t> EpochFromLocalDosDateTime(std::uint32_t dosDateTime);
std::optional<std::int64_t> EpochFromUtcDosDateTime(std::uint32_t dosDateTime);
// Local calendar fields of a moment.
SystemTime LocalSystemTimeFromEpoch(std::int64_t epochSeconds);

// --- text ----------------------------------------------------------------------------
// strftime-style formatting with English names whatever the process locale:
// %H %I %M %S %p %d %m %y %Y %b %B %a %A %j %%; other characters are copied.
std::string FormatSystemTime(const SystemTime& time, std::string_view format);
const char* MonthName(int month);          // "January", "" outside 1..12
const char* MonthAbbreviation(int month);  // "Jan"

}  // namespace platform
