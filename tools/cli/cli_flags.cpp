#include "cli_flags.h"

#include <algorithm>

#include "platform/dos_time.h"

namespace cli {

bool TakeFlag(std::vector<std::string>& args, std::string_view flag) {
  const auto removed = std::erase_if(args, [flag](const std::string& arg) { return arg == flag; });
  return removed != 0;
}

std::optional<std::uint32_t> ParseNow(const std::string& value, std::ostream& err) {
  const auto now = platform::ParseDosDateTime(value);
  if (!now) {
    err << "norvex-cli: --now takes \"YYYY-MM-DD HH:MM:SS\" between 1980 and 2107, not '" << value << "'\n";
  }
  return now;
}

}  // namespace cli
