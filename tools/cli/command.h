#pragma once
// norvex-cli's commands register themselves here, one file each.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/system.h"

namespace cli {

struct Context {
  platform::Environment& environment;
  platform::System& system;
  std::ostream& out;
  std::ostream& err;
};

// Exit codes: 0 success, 1 the work failed, 2 bad input (with a one-line message).
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using CommandFunction = int (*)(Context& context, const std::vector<std::string>& args);

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFunction function);
};

}  // namespace cli
