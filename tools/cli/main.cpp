// norvex-cli: the program's core without a window, for scripts, benchmarks and checks.

#include <algorithm>
#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "platform/host_system.h"

namespace cli {
namespace {

// In the order the help lists them.
const std::array<const Command*, 9> kCommands = {
    &kAnalyseCommand, &kDbCommand,     &kDrivesCommand, &kHandOffCommand, &kKeyCommand,
    &kMapCommand,     &kReportCommand, &kScanCommand,   &kTablesCommand,
};

const Command* FindCommand(const std::string& name) {
  const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                  [&name](const Command* command) { return name == command->name; });
  return found == kCommands.end() ? nullptr : *found;
}

void PrintHelp(std::ostream& out) {
  out << "Usage: norvex-cli [global options] COMMAND [arguments]\n\nCommands:\n";
  for (const Command* command : kCommands) out << "  " << command->usage << "\n";
  out << "\nGlobal options:\n" << platform::Environment::OptionsHelp() << "\n";
}

}  // namespace
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
  const cli::Command* command = cli::FindCommand(args.front());
  if (command == nullptr) {
    std::cerr << "norvex-cli: unknown command '" << args.front() << "' (see --help)\n";
    return cli::kExitUsage;
  }
  platform::ShareNewFilesWithStateGroup(environment->stateDir);
  platform::HostSystem system(*environment);
  cli::Context context{*environment, system, std::cout, std::cerr};
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  return command->function(context, rest);
}
