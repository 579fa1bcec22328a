// norvex-shadow: performs the actions the program handed over in "ShadowTbl.NVX", without
// a window, by the same engine as "Perform actions".

#include <atomic>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "files/action_engine.h"
#include "metered_progress.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "progress_line.h"
#include "progress_ticker.h"
#include "routed_lines.h"
#include "shadow_json.h"
#include "shell/handoff_actions.h"
#include "shell/handoff_file.h"
#include "common/prompter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Arguments {
  std::string file = shell::kHandOffFileName;
  std::uint8_t overwrite = files::kOverwriteSkip;
  bool dryRun = false;
  bool json = false;
  bool quiet = false;
};

const char* ActionName(std::uint8_t action) {
  switch (action) {
    case files::kActionCompress: return "compress";
    case files::kActionDecompress: return "decompress";
    case files::kActionBackUp: return "back up";
    case files::kActionRestore: return "restore";
  }
  return "?";
}

// No one is there to answer: errors are printed and the run goes on with the next entry;
// an existing back-up copy, and a source written since its back-up that a restore would
// replace, are overwritten or skipped as --overwrite says, each with a line of its own.
class UnattendedPrompter final : public common::Prompter {
 public:
  common::Answer Ask(const common::Message& message) override {
    if (message.buttons == common::Buttons::YesNo) {
      std::string text = message.text;
      for (char& c : text) if (c == '\n') c = ' ';
      std::cout << "  " << text << "\n";
      return common::Answer::Yes;
    }
    return common::Answer::Ok;
  }
};

class PrintedProgress final : public files::ActionProgress {
 public:
  explicit PrintedProgress(std::uint8_t overwrite) : overwrite_(overwrite) {}
  void ShowAction(const std::string& text) override { action_ = text; }
  void ShowCurrentFile(const std::string& path) override {
    if (path.find(':') != std::string::npos) std::cout << action_ << " " << path << "\n";
  }
  void ShowFilesToProcess(std::uint32_t) override {}
  void StepProgress() override {}
  files::OverwriteAnswer AskOverwrite(const std::string& existingPath, const std::string&) override {
    const bool all = overwrite_ == files::kOverwriteAll;
    std::cout << "  " << existingPath << " exists: " << (all ? "overwritten" : "skipped") << "\n";
    return all ? files::OverwriteAnswer::Overwrite : files::OverwriteAnswer::Skip;
  }

 private:
  std::uint8_t overwrite_;
  std::string action_;
};

// The file or folder an action reads: the entry itself, or for a restore its back-up copy
// (empty when the entry names no backup drive).
std::string SourceOf(const shell::HandedOffAction& action) {
  if (action.action != files::kActionRestore) return action.path;
  const scan::CFolderInfo& record = *action.record;
  const std::string folder = files::BackupFolderOf(record.path(), record.backupDrives()[action.index]);
  return folder.empty() ? std::string() : folder + std::string(record.names(action.index));
}

// Lists what a run would do, and every source that is not there: a file made over other
// drives than these names files that are missing here, or worse, other files. Answers
// how many sources are missing.
std::size_t ReportDryRun(const shell::HandOffPlan& plan, const platform::System& system) {
  std::size_t missing = 0;
  for (const auto& action : plan.actions) {
    const std::string source = SourceOf(action);
    std::cout << "would " << ActionName(action.action) << " " << action.path;
    if (action.action == files::kActionRestore && !source.empty()) std::cout << " from " << source;
    std::cout << "\n";
    if (source.empty()) {
      std::cout << "  missing: no backup drive\n";
      ++missing;
    } else if (!system.FileExists(source)) {
      const auto host = system.HostPath(source);
      std::cout << "  missing: " << source << " (" << host.value_or("?") << ") does not exist\n";
      ++missing;
    }
  }
  std::cout << plan.actions.size() << " actions, none performed (dry run)";
  if (missing != 0) std::cout << "; " << missing << " of them missing their source";
  std::cout << "\n";
  return missing;
}

bool ParseArguments(const std::vector<std::string>& args, Arguments& parsed) {
  bool haveFile = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dry-run") {
      parsed.dryRun = true;
    } else if (args[i] == "--json") {
      parsed.json = true;
    } else if (args[i] == "--quiet") {
      parsed.quiet = true;
    } else if (args[i] == "--overwrite" && i + 1 < args.size()) {
      const std::string& mode = args[++i];
      if (mode != "skip" && mode != "all") return false;
      parsed.overwrite = mode == "all" ? files::kOverwriteAll : files::kOverwriteSkip;
    } else if (args[i].rfind("--", 0) == 0 || haveFile) {
      return false;
    } else {
      parsed.file = args[i];
      haveFile = true;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args.front() == "--version") {
    std::cout << "norvex-shadow " << NORVEX_VERSION << "\n";
    return kExitOk;
  }
  std::string error;
  auto environment = platform::Environment::FromArguments(args, &error);
  if (!environment) {
    std::cerr << "norvex-shadow: " << error << "\n";
    return kExitUsage;
  }
  Arguments parsed;
  const bool help = !args.empty() && (args.front() == "--help" || args.front() == "-h");
  if (help || !ParseArguments(args, parsed)) {
    (help ? std::cout : std::cerr)
        << "Usage: norvex-shadow [global options] [--overwrite skip|all] [--dry-run] [--json]\n"
           "                     [--quiet] [FILE]\n"
           "Performs the actions handed over in FILE (default: ShadowTbl.NVX in the current\n"
           "folder), then renames it to FILE.done so they are never performed twice.\n"
           "  --overwrite   what to do with an existing back-up copy, and with a source\n"
           "                written since its back-up that a restore would replace\n"
           "                (default: skip)\n"
           "  --dry-run     list the actions and every source that does not exist\n"
           "                (then exit 1), perform nothing, keep the file\n"
           "  --json        print the outcome of each action and the summary as JSON; the\n"
           "                lines that describe the run go to standard error instead\n"
           "  --quiet       no progress line on a terminal\n\nGlobal options:\n"
        << platform::Environment::OptionsHelp() << "\n";
    return help ? kExitOk : kExitUsage;
  }

  platform::HostSystem system(*environment);
  const auto table = shell::ReadHandOffFile(parsed.file, &error);
  std::optional<shell::HandOffPlan> plan;
  if (table) plan = shell::PlanHandOff(*table, system, &error);
  if (!plan) {
    std::cerr << "norvex-shadow: " << parsed.file << " is not a usable hand-off file: " << error
              << "; nothing was performed\n";
    return kExitFailed;
  }

  // With --json, standard output carries the JSON alone; a progress line needs the
  // terminal to itself while a line is printed.
  std::ostream plainOut(std::cout.rdbuf());
  tools::ProgressLine line = tools::StandardErrorLine(std::cerr, parsed.quiet);
  tools::RoutedLines routed(std::cout, parsed.json ? std::cerr : plainOut, line);
  const auto outcomes = [&](bool performed) {
    std::vector<shadow::ActionOutcome> list;
    for (const auto& action : plan->actions) {
      const char* result = !performed ? shadow::kNotPerformed
                                      : (action.Succeeded() ? shadow::kSucceeded : shadow::kFailed);
      list.push_back({ActionName(action.action), action.path, result});
    }
    return list;
  };

  if (parsed.dryRun) {
    const std::size_t missing = ReportDryRun(*plan, system);
    if (parsed.json) shadow::WriteShadowJson(plainOut, parsed.file, true, outcomes(false));
    return missing == 0 ? kExitOk : kExitFailed;
  }

  std::atomic<std::uint32_t> pending{static_cast<std::uint32_t>(plan->actions.size())};
  files::ActionRunFlags flags;
  flags.ProcessingOn = 1;
  UnattendedPrompter prompter;
  PrintedProgress progress(parsed.overwrite);
  shadow::MeteredProgress metered(progress, line, pending);
  {
    const tools::ProgressTicker ticker(line, [&metered] { metered.Refresh(); });
    files::ActionEngine engine(system, pending, flags, prompter, metered);
    engine.ActionWorker(*plan->driveList);
  }
  line.Finish();

  std::size_t succeeded = 0;
  for (const auto& action : plan->actions) {
    if (action.Succeeded()) {
      ++succeeded;
    } else {
      std::cout << "failed: " << ActionName(action.action) << " " << action.path << "\n";
    }
  }
  const std::size_t failed = plan->actions.size() - succeeded;
  std::cout << succeeded << " actions succeeded, " << failed << " failed\n";
  if (parsed.json) shadow::WriteShadowJson(plainOut, parsed.file, false, outcomes(true));
  // Renamed whatever the outcome: a second run must not repeat the actions that were done.
  if (std::rename(parsed.file.c_str(), (parsed.file + ".done").c_str()) != 0) {
    std::cerr << "norvex-shadow: could not rename " << parsed.file << " to " << parsed.file
              << ".done\n";
    return kExitFailed;
  }
  return failed == 0 ? kExitOk : kExitFailed;
}
