#pragma once
// The date-time page's rules: which "Finished at:" choice a span shows, and the span
// end each choice stands for. Span start and end are DOS date-times.

#include <cstdint>
#include <string>

namespace activity {

enum class SpanChoice { DontKnow, Day, Week, Month, Custom };

// The whole days from start to end (truncated towards zero); nullopt-like 0 with
// `valid` false when either value is not a real date-time.
struct SpanDays {
  bool valid = false;
  std::int64_t days = 0;
};
SpanDays DaysBetween(std::uint32_t start, std::uint32_t end);

// 1 day, 7 days or 30 days: that choice; else the "no end" value: don't know; else custom.
SpanChoice ChoiceFor(std::uint32_t start, std::uint32_t end);
// The span end a fixed choice stands for: start + 1, 7 or 30 days, or the "no end"
// value; `start` itself for Custom (the custom controls decide then).
std::uint32_t EndFor(SpanChoice choice, std::uint32_t start);
// "%H:%M:%S of %d %B %Y" in English.
std::string StartText(std::uint32_t start);

}  // namespace activity
