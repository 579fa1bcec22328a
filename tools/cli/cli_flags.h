#pragma once
// Flags that several commands take anywhere among their arguments (--json, --quiet).

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Takes every `flag` out of `args`; true when there was at least one.
bool TakeFlag(std::vector<std::string>& args, std::string_view flag);

}  // namespace cli
