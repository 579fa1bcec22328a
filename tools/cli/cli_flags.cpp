#include "cli_flags.h"

#include <algorithm>

namespace cli {

bool TakeFlag(std::vector<std::string>& args, std::string_view flag) {
  const auto removed = std::erase_if(args, [flag](const std::string& arg) { return arg == flag; });
  return removed != 0;
}

}  // namespace cli
