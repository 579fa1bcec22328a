#pragma once
// Text helpers shared by the commands that print tab-separated lines.

#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

// Escapes tab, newline and other control characters, which would break a
// tab-separated line. Names never hold a backslash (the listing skips them).
std::string LineSafe(std::string_view name);

// `value` as `digits` lower-case hex digits, zero-padded (the low digits when it has more).
std::string HexDigits(std::uint64_t value, int digits);

}  // namespace cli
