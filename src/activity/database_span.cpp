#include "activity/database_span.h"

#include <algorithm>

#include "activity/drive_record.h"
#include "platform/dos_time.h"

namespace activity {
namespace {

constexpr std::int64_t kTicksPerDay = 86400 * static_cast<std::int64_t>(platform::kFileTimeTicksPerSecond);

}  // namespace

SpanDays DaysBetween(std::uint32_t start, std::uint32_t end) {
  const auto from = platform::DosDateTimeToFileTime(start);
  const auto to = platform::DosDateTimeToFileTime(end);
  if (!from || !to) return {};
  const std::int64_t difference = static_cast<std::int64_t>(*to) - static_cast<std::int64_t>(*from);
  return {true, difference / kTicksPerDay};
}

SpanChoice ChoiceFor(std::uint32_t start, std::uint32_t end) {
  const SpanDays span = DaysBetween(start, end);
  if (span.valid) {
    if (span.days == 1) return SpanChoice::Day;
    if (span.days == 7) return SpanChoice::Week;
    if (span.days == 30) return SpanChoice::Month;
  }
  return end == kNoSpanEnd ? SpanChoice::DontKnow : SpanChoice::Custom;
}

std::uint32_t EndFor(SpanChoice choice, std::uint32_t start) {
  int days = 0;
  switch (choice) {
    case SpanChoice::DontKnow: return kNoSpanEnd;
    case SpanChoice::Custom: return start;
    case SpanChoice::Day: days = 1; break;
    case SpanChoice::Week: days = 7; break;
    case SpanChoice::Month: days = 30; break;
  }
  const auto from = platform::DosDateTimeToFileTime(start);
  if (!from) return kNoSpanEnd;  // a damaged start: no end rather than a nonsense date
  const auto end = platform::FileTimeToDosDateTime(*from + static_cast<platform::FileTime>(days * kTicksPerDay));
  return end.value_or(kNoSpanEnd);
}

std::string StartText(std::uint32_t start) {
  return platform::FormatSystemTime(platform::UnpackDosDateTime(start), "%H:%M:%S of %d %B %Y");
}

}  // namespace activity
