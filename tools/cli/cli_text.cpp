#include "cli_text.h"

#include <cstdio>

namespace cli {

std::string LineSafe(std::string_view name) {
  std::string safe;
  for (const char c : name) {
    if (c == '\t') {
      safe += "\\t";
    } else if (c == '\n') {
      safe += "\\n";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      safe += escaped;
    } else {
      safe += c;
    }
  }
  return safe;
}

std::string HexDigits(std::uint64_t value, int digits) {
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = "0123456789abcdef"[value & 15];
  return text;
}

}  // namespace cli
