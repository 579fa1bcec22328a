#include "moment_text.h"

#include <cstdio>

#include "platform/dos_time.h"

namespace recorder_tool {

std::optional<std::uint32_t> ParseMoment(const std::string& text) {
  platform::SystemTime time;
  unsigned year, month, day, hour, minute, second;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2u %2u:%2u:%2u%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6) {
    return std::nullopt;
  }
  time.year = static_cast<std::uint16_t>(year);
  time.month = static_cast<std::uint16_t>(month);
  time.day = static_cast<std::uint16_t>(day);
  time.hour = static_cast<std::uint16_t>(hour);
  time.minute = static_cast<std::uint16_t>(minute);
  time.second = static_cast<std::uint16_t>(second);
  if (!platform::IsValidSystemTime(time) || year < 1980 || year > 2107) return std::nullopt;
  return platform::PackDosDateTime(time);
}

}  // namespace recorder_tool
