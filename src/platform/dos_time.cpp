#include "platform/dos_time.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

#include "platform/system.h"

namespace platform {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochOffsetSeconds = 11644473600LL;
constexpr FileTime kMaxFileTime = 0x7FFFFFFFFFFFFFFFULL;

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",
                                                 "May",     "June",     "July",      "August",
                                                 "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

struct Civil {
  std::int64_t year;
  int month;
  int day;
};

Civil CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  return value / divisor - (value % divisor != 0 && (value < 0) != (divisor < 0));
}

// Seconds since 1970 of the fields read as UTC, without range checks.
std::int64_t SecondsOf(const SystemTime& time) {
  return DaysFromCivil(time.year, time.month, time.day) * kSecondsPerDay + time.hour * 3600 +
         time.minute * 60 + time.second;
}

SystemTime SystemTimeFromParts(std::int64_t seconds, std::uint16_t milliseconds) {
  // The remainder first: days * 86400 overflows for seconds near the ends of the range.
  const std::int64_t remainder = seconds % kSecondsPerDay;
  const std::int64_t inDay = remainder < 0 ? remainder + kSecondsPerDay : remainder;
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const Civil civil = CivilFromDays(days);
  SystemTime time;
  // Years the field cannot hold stay at its ends, so that packing clamps them the right way.
  time.year = static_cast<std::uint16_t>(std::clamp<std::int64_t>(civil.year, 0, 0xFFFF));
  time.month = static_cast<std::uint16_t>(civil.month);
  time.day = static_cast<std::uint16_t>(civil.day);
  time.dayOfWeek = static_cast<std::uint16_t>(DayOfWeek(static_cast<int>(civil.year), civil.month, civil.day));
  time.hour = static_cast<std::uint16_t>(inDay / 3600);
  time.minute = static_cast<std::uint16_t>(inDay / 60 % 60);
  time.second = static_cast<std::uint16_t>(inDay % 60);
  time.milliseconds = milliseconds;
  return time;
}

SystemTime FromTm(const std::tm& fields) {
  SystemTime time;
  time.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
  time.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
  time.day = static_cast<std::uint16_t>(fields.tm_mday);
  time.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
  time.hour = static_cast<std::uint16_t>(fields.tm_hour);
  time.minute = static_cast<std::uint16_t>(fields.tm_min);
  time.second = static_cast<std::uint16_t>(std::min(fields.tm_sec, 59));  // no leap second
  return time;
}

// The moment at which the local wall clock shows `local` (read without a time zone).
std::optional<std::int64_t> EpochOfLocalFields(const SystemTime& local) {
  std::tm fields{};
  fields.tm_year = local.year - 1900;
  fields.tm_mon = local.month - 1;
  fields.tm_mday = local.day;
  fields.tm_hour = local.hour;
  fields.tm_min = local.minute;
  fields.tm_sec = local.second;
  fields.tm_isdst = -1;
  const std::time_t moment = std::mktime(&fields);
  if (moment == static_cast<std::time_t>(-1) && fields.tm_year != 69) return std::nullopt;
  return static_cast<std::int64_t>(moment);
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kLengths = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kLengths[static_cast<std::size_t>(month - 1)];
}

int DayOfWeek(int year, int month, int day) {
  const std::int64_t days = DaysFromCivil(year, month, day);
  return static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
}

bool IsValidSystemTime(const SystemTime& time) {
  return time.year >= 1601 && time.year <= 30827 && time.month >= 1 && time.month <= 12 &&
         time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) && time.hour < 24 &&
         time.minute < 60 && time.second < 60 && time.milliseconds < 1000;
}

std::uint32_t PackDosDateTime(const SystemTime& time) {
  if (time.year < 1980) return (0u << 25) | (1u << 21) | (1u << 16);
  if (time.year > 2107) return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  const std::uint32_t date = static_cast<std::uint32_t>((time.year - 1980) * 512 + time.month * 32 + time.day);
  const std::uint32_t clock = static_cast<std::uint32_t>(time.hour * 2048 + time.minute * 32 + time.second / 2);
  return (date << 16) | (clock & 0xFFFF);
}

std::optional<std::uint32_t> ParseDosDateTime(std::string_view text) {
  const std::string terminated(text);
  unsigned year, month, day, hour, minute, second;
  char tail = 0;
  if (std::sscanf(terminated.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6) {
    return std::nullopt;
  }
  SystemTime time;
  time.year = static_cast<std::uint16_t>(year);
  time.month = static_cast<std::uint16_t>(month);
  time.day = static_cast<std::uint16_t>(day);
  time.hour = static_cast<std::uint16_t>(hour);
  time.minute = static_cast<std::uint16_t>(minute);
  time.second = static_cast<std::uint16_t>(second);
  if (!IsValidSystemTime(time) || year < 1980 || year > 2107) return std::nullopt;
  return PackDosDateTime(time);
}

SystemTime UnpackDosDateTime(std::uint32_t dosDateTime) {
  const std::uint32_t date = dosDateTime >> 16;
  const std::uint32_t clock = dosDateTime & 0xFFFF;
  SystemTime time;
  time.year = static_cast<std::uint16_t>(1980 + (date >> 9));
  time.month = static_cast<std::uint16_t>((date >> 5) & 0x0F);
  time.day = static_cast<std::uint16_t>(date & 0x1F);
  time.hour = static_cast<std::uint16_t>(clock >> 11);
  time.minute = static_cast<std::uint16_t>((clock >> 5) & 0x3F);
  time.second = static_cast<std::uint16_t>((clock & 0x1F) * 2);
  return time;
}

SystemTime GetSystemTime(const System& system) { return SystemTimeFromEpoch(system.Now()); }

std::optional<FileTime> SystemTimeToFileTime(const SystemTime& time) {
  if (!IsValidSystemTime(time)) return std::nullopt;
  const std::int64_t seconds = SecondsOf(time) + kEpochOffsetSeconds;
  return static_cast<FileTime>(seconds) * kFileTimeTicksPerSecond +
         static_cast<FileTime>(time.milliseconds) * 10'000;
}

std::optional<SystemTime> FileTimeToSystemTime(FileTime fileTime) {
  if (fileTime > kMaxFileTime) return std::nullopt;
  const auto seconds = static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond);
  const auto milliseconds = static_cast<std::uint16_t>(fileTime % kFileTimeTicksPerSecond / 10'000);
  return SystemTimeFromParts(seconds - kEpochOffsetSeconds, milliseconds);
}

std::optional<FileTime> DosDateTimeToFileTime(std::uint32_t dosDateTime) {
  return SystemTimeToFileTime(UnpackDosDateTime(dosDateTime));
}

std::optional<std::uint32_t> FileTimeToDosDateTime(FileTime fileTime) {
  const auto time = FileTimeToSystemTime(fileTime);
  if (!time || time->year < 1980 || time->year > 2107) return std::nullopt;
  return PackDosDateTime(*time);
}

std::optional<FileTime> LocalFileTimeToFileTime(FileTime localFileTime) {
  const auto local = FileTimeToSystemTime(localFileTime);
  if (!local) return std::nullopt;
  const auto epoch = EpochOfLocalFields(*local);
  if (!epoch || *epoch < -kEpochOffsetSeconds) return std::nullopt;
  return FileTimeFromEpoch(*epoch) + localFileTime % kFileTimeTicksPerSecond;
}

std::optional<FileTime> FileTimeToLocalFileTime(FileTime fileTime) {
  if (fileTime > kMaxFileTime) return std::nullopt;
  const SystemTime local = LocalSystemTimeFromEpoch(EpochFromFileTime(fileTime));
  const auto localFileTime = SystemTimeToFileTime(local);
  if (!localFileTime) return std::nullopt;
  return *localFileTime + fileTime % kFileTimeTicksPerSecond;
}

FileTime FileTimeFromEpoch(std::int64_t epochSeconds) {
  if (epochSeconds < -kEpochOffsetSeconds) return 0;
  return static_cast<FileTime>(epochSeconds + kEpochOffsetSeconds) * kFileTimeTicksPerSecond;
}

std::int64_t EpochFromFileTime(FileTime fileTime) {
  return static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond) - kEpochOffsetSeconds;
}

SystemTime SystemTimeFromEpoch(std::int64_t epochSeconds) {
  return SystemTimeFromParts(epochSeconds, 0);
}

std::optional<std::int64_t> EpochFromSystemTime(const SystemTime& utc) {
  if (!IsValidSystemTime(utc)) return std::nullopt;
  return SecondsOf(utc);
}

SystemTime LocalSystemTimeFromEpoch(std::int64_t epochSeconds) {
  const auto moment = static_cast<std::time_t>(epochSeconds);
  std::tm fields{};
  if (::localtime_r(&moment, &fields) == nullptr) return SystemTimeFromEpoch(epochSeconds);
  return FromTm(fields);
}

std::uint32_t DosDateTimeFromUtc(std::int64_t epochSeconds) {
  return PackDosDateTime(SystemTimeFromEpoch(epochSeconds));
}

std::uint32_t DosDateTimeFromLocal(std::int64_t epochSeconds) {
  return PackDosDateTime(LocalSystemTimeFromEpoch(epochSeconds));
}

std::uint32_t DosDateTimeNowUtc(const System& system) { return DosDateTimeFromUtc(system.Now()); }

std::optional<std::int64_t> EpochFromLocalDosDateTime(std::uint32_t dosDateTime) {
  const SystemTime local = UnpackDosDateTime(dosDateTime);
  if (!IsValidSystemTime(local)) return std::nullopt;
  return EpochOfLocalFields(local);
}

std::optional<std::int64_t> EpochFromUtcDosDateTime(std::uint32_t dosDateTime) {
  return EpochFromSystemTime(UnpackDosDateTime(dosDateTime));
}

const char* MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : "";
}

const char* MonthAbbreviation(int month) {
  static constexpr std::array<const char*, 12> kShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return month >= 1 && month <= 12 ? kShort[static_cast<std::size_t>(month - 1)] : "";
}

std::string FormatSystemTime(const SystemTime& time, std::string_view format) {
  std::string out;
  const auto number = [&out](int value, const char* pattern) {
    char text[16];
    std::snprintf(text, sizeof text, pattern, value);
    out += text;
  };
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    const char code = format[++i];
    switch (code) {
      case 'H': number(time.hour, "%02d"); break;
      case 'I': number(time.hour % 12 == 0 ? 12 : time.hour % 12, "%02d"); break;
      case 'M': number(time.minute, "%02d"); break;
      case 'S': number(time.second, "%02d"); break;
      case 'p': out += time.hour < 12 ? "AM" : "PM"; break;
      case 'd': number(time.day, "%02d"); break;
      case 'm': number(time.month, "%02d"); break;
      case 'y': number(time.year % 100, "%02d"); break;
      case 'Y': number(time.year, "%d"); break;
      case 'b': out += MonthAbbreviation(time.month); break;
      case 'B': out += MonthName(time.month); break;
      case 'a': out += std::string(kDays[time.dayOfWeek % 7]).substr(0, 3); break;
      case 'A': out += kDays[time.dayOfWeek % 7]; break;
      case 'j': {
        int dayOfYear = time.day;
        for (int month = 1; month < time.month && month <= 12; ++month) dayOfYear += DaysInMonth(time.year, month);
        number(dayOfYear, "%03d");
        break;
      }
      case '%': out += '%'; break;
      default:
        out += '%';
        out += code;
        break;
    }
  }
  return out;
}

}  // namespace platform
