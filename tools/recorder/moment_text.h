#pragma once
// Moments given on the command line.

#include <cstdint>
#include <optional>
#include <string>

namespace recorder_tool {

// "YYYY-MM-DD HH:MM:SS", local time, packed as a DOS date-time; nullopt for anything else
// or a moment outside 1980..2107.
std::optional<std::uint32_t> ParseMoment(const std::string& text);

}  // namespace recorder_tool
