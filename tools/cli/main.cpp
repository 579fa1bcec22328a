// norvex-cli: the program's core without a window, for scripts, benchmarks and checks.

#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "command.h"
#include "platform/host_system.h"

namespace cli {
namespace {

struct Command {
  const char* usage;
  CommandFunction function;
};

std::map<std::string, Command>& Commands() {
  static std::map<std::string, Command> commands;
  return commands;
}

void PrintHelp(std::ostream& out) {
  out << "Usage: norvex-cli [global options] COMMAND [arguments]\n\nCommands:\n";
  for (const auto& [name, command] : Commands()) out << "  " << command.usage << "\n";
  out << "\nGlobal options:\n" << platform::Environment::OptionsHelp() << "\n";
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage,
                                         CommandFunction function) {
  Commands()[name] = Command{usage, function};
}

}  // namespace cli

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto environment = platform::Environment::FromArguments(args, &error);
  // The version needs no environment: it is told even where the drive map is bad.
  if (!args.empty() && args.front() == "--version") {
    std::cout << "norvex-cli " << NORVEX_VERSION << "\n";
    return cli::kExitOk;
  }
  if (!environment) {
    std::cerr << "norvex-cli: " << error << "\n";
    return cli::kExitUsage;
  }
  if (args.empty() || args.front() == "--help" || args.front() == "-h") {
    cli::PrintHelp(std::cout);
    return args.empty() ? cli::kExitUsage : cli::kExitOk;
  }
  const auto found = cli::Commands().find(args.front());
  if (found == cli::Commands().end()) {
    std::cerr << "norvex-cli: unknown command '" << args.front() << "' (see --help)\n";
    return cli::kExitUsage;
  }
  platform::HostSystem system(*environment);
  cli::Context context{*environment, system, std::cout, std::cerr};
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  return found->second.function(context, rest);
}
