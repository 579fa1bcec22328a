#pragma once
// norvex-cli's commands, one file each (cmd_NAME.cpp); main.cpp lists them.

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

struct Command {
  const char* name;
  const char* usage;  // the help's lines, the first starting with the name
  CommandFunction function;
};

extern const Command kAnalyseCommand;
extern const Command kDbCommand;
extern const Command kDrivesCommand;
extern const Command kHandOffCommand;
extern const Command kKeyCommand;
extern const Command kMapCommand;
extern const Command kReportCommand;
extern const Command kScanCommand;
extern const Command kTablesCommand;

}  // namespace cli
