// norvex-recorder: counts opens per file into the activity databases. "run" is the daemon;
// "record" adds accesses offline (tests, demos, scripts).

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "daemon.h"
#include "declare_coverage.h"
#include "offline_record.h"
#include "watch_drive.h"
#include "platform/environment.h"
#include "platform/host_system.h"

namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: norvex-recorder [global options] COMMAND\n\n"
         "Commands:\n"
         "  run [--inotify] [--interval SECONDS] [--nice N]\n"
         "      the recorder daemon: counts opens on every watched drive (fanotify as root,\n"
         "      else inotify) and answers hold and release on the control socket; runs at\n"
         "      nice -10 where allowed (--nice 0 to stay at normal priority)\n"
         "  record [--read N] [--write N] [--rw N] [--exec N] [--seek N]\n"
         "         [--at \"YYYY-MM-DD HH:MM:SS\"] PATH...\n"
         "      adds accesses straight into the databases (a running daemon is held meanwhile)\n"
         "      record --covered \"FROM\" \"TO\" DRIVE...: declares instead that the drives were\n"
         "      recorded from FROM to TO (local times \"YYYY-MM-DD HH:MM:SS\"), a cleanly stopped\n"
         "      period in each drive's coverage file\n"
         "  watch [--location X:] [--buckets BITS] [--bucket-size N] [--names]\n"
         "        [--since \"YYYY-MM-DD HH:MM:SS\"] DRIVE...\n"
         "      gives drives a database recording from now (or --since); the time counts as\n"
         "      recorded only while a recorder runs, or when a record declares it\n"
         "\nGlobal options:\n"
      << platform::Environment::OptionsHelp() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args.front() == "--version") {
    std::cout << "norvex-recorder " << NORVEX_VERSION << "\n";
    return 0;
  }
  std::string error;
  auto environment = platform::Environment::FromArguments(args, &error);
  if (!environment) {
    std::cerr << "norvex-recorder: " << error << "\n";
    return 2;
  }
  if (args.empty() || args.front() == "--help" || args.front() == "-h") {
    PrintHelp(std::cout);
    return args.empty() ? 2 : 0;
  }
  platform::ShareNewFilesWithStateGroup(environment->stateDir);
  platform::HostSystem system(*environment);
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args.front() == "record" && recorder_tool::DeclaresCoverage(rest)) {
    return recorder_tool::RunDeclareCoverage(system, rest, std::cerr);
  }
  if (args.front() == "record") return recorder_tool::RunRecord(system, rest, std::cout, std::cerr);
  if (args.front() == "watch") return recorder_tool::RunWatch(system, rest, std::cerr);
  if (args.front() == "run") return recorder_tool::RunDaemon(system, *environment, rest, std::cerr);
  std::cerr << "norvex-recorder: unknown command '" << args.front() << "' (see --help)\n";
  return 2;
}
