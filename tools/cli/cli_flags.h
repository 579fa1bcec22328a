#pragma once
// Flags that several commands take: anywhere among their arguments (--json, --quiet),
// and values they read alike (--now).

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Takes every `flag` out of `args`; true when there was at least one.
bool TakeFlag(std::vector<std::string>& args, std::string_view flag);

// The DOS date-time (UTC) that --now names; nothing, with the reason told on `err`, for a
// text that is not one.
std::optional<std::uint32_t> ParseNow(const std::string& value, std::ostream& err);

}  // namespace cli
