#include "platform/dos_time.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <optional>
#include <string>

#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

SystemTime Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  SystemTime time;
  time.year = static_cast<std::uint16_t>(year);
  time.month = static_cast<std::uint16_t>(month);
  time.day = static_cast<std::uint16_t>(day);
  time.hour = static_cast<std::uint16_t>(hour);
  time.minute = static_cast<std::uint16_t>(minute);
  time.second = static_cast<std::uint16_t>(second);
  return time;
}

// Runs a test body under a fixed time zone (a POSIX rule, so no zone files are needed).
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (saved_) ::setenv("TZ", saved_->c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> saved_;
};

TEST(DosDateTime, PacksAndUnpacksKnownValues) {
  EXPECT_EQ(PackDosDateTime(Fields(2099, 12, 31, 23, 59, 59)), kDosDateTimeNoEnd);
  EXPECT_EQ(PackDosDateTime(Fields(1980, 1, 1)), 0x00210000u);
  EXPECT_EQ(PackDosDateTime(Fields(1997, 3, 7, 14, 5, 31)),
            ((17u * 512 + 3 * 32 + 7) << 16) | (14u * 2048 + 5 * 32 + 15));
  const SystemTime end = UnpackDosDateTime(kDosDateTimeNoEnd);
  EXPECT_EQ(end, Fields(2099, 12, 31, 23, 59, 58));
  // Out of the packing's range: clamped, never wrapped into another date.
  EXPECT_EQ(PackDosDateTime(Fields(1970, 6, 1)), 0x00210000u);
  EXPECT_EQ(UnpackDosDateTime(PackDosDateTime(Fields(2200, 1, 1))), Fields(2107, 12, 31, 23, 59, 58));
  // Later times compare greater as unsigned numbers.
  EXPECT_LT(PackDosDateTime(Fields(2023, 12, 31, 23, 59, 58)), PackDosDateTime(Fields(2024, 1, 1)));
  EXPECT_LT(PackDosDateTime(Fields(2024, 1, 1, 10, 0, 0)), PackDosDateTime(Fields(2024, 1, 1, 10, 0, 2)));
}

TEST(DosDateTime, ParsesCommandLineMomentsAndRefusesTheRest) {
  EXPECT_EQ(platform::ParseDosDateTime("2026-02-28 13:45:10"), 0x5C5C6DA5u);
  EXPECT_EQ(platform::ParseDosDateTime("1980-01-01 00:00:00"), 0x00210000u);
  for (const char* bad : {"2026-02-29 00:00:00", "2026-13-01 00:00:00", "1979-12-31 23:59:59",
                          "2108-01-01 00:00:00", "2026-01-01 00:00:00 x", "2026-01-01", "",
                          "2026-01-01 24:00:00"}) {
    EXPECT_EQ(platform::ParseDosDateTime(bad), std::nullopt) << bad;
  }
}

TEST(DosDateTime, WindowsConversionsAgreeAndRefuseImpossibleFields) {
  const auto start = DosDateTimeToFileTime(0x00210000u);
  ASSERT_TRUE(start);
  // 1970 cannot be packed: it becomes the first moment the packing holds.
  EXPECT_EQ(DosDateTimeToFileTime(PackDosDateTime(Fields(1970, 1, 1))), start);
  EXPECT_EQ(*start, FileTimeFromEpoch(315532800));  // 1980-01-01T00:00:00Z
  EXPECT_EQ(FileTimeFromEpoch(0), 116444736000000000ULL);
  EXPECT_EQ(EpochFromFileTime(116444736000000000ULL), 0);

  EXPECT_FALSE(DosDateTimeToFileTime(0));  // month 0, day 0
  EXPECT_FALSE(DosDateTimeToFileTime(PackDosDateTime(Fields(2023, 2, 29))));
  EXPECT_TRUE(DosDateTimeToFileTime(PackDosDateTime(Fields(2024, 2, 29))));
  EXPECT_FALSE(DosDateTimeToFileTime(0x00210000u | (24u << 11)));  // hour 24
  EXPECT_FALSE(SystemTimeToFileTime(Fields(2024, 13, 1)));
  EXPECT_FALSE(FileTimeToSystemTime(0x8000000000000000ULL));

  const SystemTime fields = *FileTimeToSystemTime(*DosDateTimeToFileTime(kDosDateTimeNoEnd));
  EXPECT_EQ(fields.year, 2099);
  EXPECT_EQ(fields.dayOfWeek, 4);  // 2099-12-31 is a Thursday
  EXPECT_EQ(FileTimeToDosDateTime(*SystemTimeToFileTime(fields)), kDosDateTimeNoEnd);
  EXPECT_FALSE(FileTimeToDosDateTime(FileTimeFromEpoch(0)));
}

TEST(DosDateTime, EpochRoundTripsToTheEvenSecond) {
  for (std::int64_t epoch = 315532800; epoch < 4354819199LL; epoch += 86400 * 37 + 3607) {
    const std::uint32_t packed = DosDateTimeFromUtc(epoch);
    EXPECT_EQ(EpochFromUtcDosDateTime(packed), epoch - epoch % 2) << epoch;
    const SystemTime utc = SystemTimeFromEpoch(epoch);
    EXPECT_EQ(EpochFromSystemTime(utc), epoch);
    std::tm reference{};
    const std::time_t moment = static_cast<std::time_t>(epoch);
    ::gmtime_r(&moment, &reference);
    EXPECT_EQ(utc.year, reference.tm_year + 1900);
    EXPECT_EQ(utc.month, reference.tm_mon + 1);
    EXPECT_EQ(utc.day, reference.tm_mday);
    EXPECT_EQ(utc.dayOfWeek, reference.tm_wday);
    EXPECT_EQ(utc.hour, reference.tm_hour);
    EXPECT_EQ(utc.second, reference.tm_sec);
  }
}

// A clock (or a file time) far outside any calendar still gives fields in range and a
// DOS date-time clamped to the packing's ends, never an overflow.
TEST(DosDateTime, MomentsFarOutsideTheCalendarClampToThePackingsEnds) {
  for (const std::int64_t epoch : {INT64_MIN, INT64_MIN + 1, std::int64_t{-1} << 60}) {
    const SystemTime fields = SystemTimeFromEpoch(epoch);
    EXPECT_LT(fields.hour, 24) << epoch;
    EXPECT_EQ(DosDateTimeFromUtc(epoch), 0x00210000u) << epoch;  // 1980-01-01 00:00:00
  }
  for (const std::int64_t epoch : {INT64_MAX, INT64_MAX - 1, std::int64_t{1} << 60}) {
    EXPECT_LT(SystemTimeFromEpoch(epoch).hour, 24) << epoch;
    EXPECT_EQ(DosDateTimeFromUtc(epoch), 0xFF9FBF7Du) << epoch;  // 2107-12-31 23:59:58
  }
}

TEST(DosDateTime, LocalTimeUsesTheOffsetInForceAtThatDate) {
  const ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const std::int64_t summerNoonUtc = *EpochFromSystemTime(Fields(2023, 7, 1, 12, 0, 0));
  const std::int64_t winterNoonUtc = *EpochFromSystemTime(Fields(2023, 1, 1, 12, 0, 0));
  EXPECT_EQ(DosDateTimeFromLocal(summerNoonUtc), PackDosDateTime(Fields(2023, 7, 1, 14, 0, 0)));
  EXPECT_EQ(DosDateTimeFromLocal(winterNoonUtc), PackDosDateTime(Fields(2023, 1, 1, 13, 0, 0)));
  EXPECT_EQ(EpochFromLocalDosDateTime(PackDosDateTime(Fields(2023, 7, 1, 14, 0, 0))), summerNoonUtc);

  const FileTime localWinter = *SystemTimeToFileTime(Fields(2023, 1, 1, 13, 0, 0));
  EXPECT_EQ(LocalFileTimeToFileTime(localWinter), FileTimeFromEpoch(winterNoonUtc));
  EXPECT_EQ(FileTimeToLocalFileTime(FileTimeFromEpoch(winterNoonUtc)), localWinter);
  EXPECT_FALSE(EpochFromLocalDosDateTime(0));
}

TEST(DosDateTime, NowComesFromTheSystemClock) {
  testing_support::TempDrives drives("C");
  testing_support::FaultySystem system(drives.System());
  system.FixClock(*EpochFromSystemTime(Fields(2024, 5, 17, 8, 30, 41)));
  EXPECT_EQ(DosDateTimeNowUtc(system), PackDosDateTime(Fields(2024, 5, 17, 8, 30, 40)));
  EXPECT_EQ(GetSystemTime(system).dayOfWeek, 5);  // a Friday
}

TEST(DateText, EnglishNamesWhateverTheLocale) {
  const SystemTime time = UnpackDosDateTime(PackDosDateTime(Fields(1997, 3, 7, 14, 5, 0)));
  EXPECT_EQ(FormatSystemTime(time, "%H:%M, %d %b,%y"), "14:05, 07 Mar,97");
  SystemTime start = Fields(2024, 9, 2, 7, 8, 9);
  start.dayOfWeek = static_cast<std::uint16_t>(DayOfWeek(2024, 9, 2));
  EXPECT_EQ(FormatSystemTime(start, "%H:%M:%S of %d %B %Y"), "07:08:09 of 02 September 2024");
  EXPECT_EQ(FormatSystemTime(start, "%a %A %j %I%p 100%% %q"), "Mon Monday 246 07AM 100% %q");
  EXPECT_EQ(FormatSystemTime(Fields(2000, 1, 5), "%y"), "00");
}

TEST(Calendar, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 4), 30);
  EXPECT_EQ(DaysInMonth(2023, 13), 0);
  EXPECT_EQ(DayOfWeek(2024, 2, 29), 4);
  EXPECT_EQ(DayOfWeek(1601, 1, 1), 1);
}

}  // namespace
}  // namespace platform
