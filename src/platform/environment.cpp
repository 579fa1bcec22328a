#include "platform/environment.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

namespace platform {
namespace {

struct GlobalOption {
  std::string_view name;      // "--drives"
  std::optional<std::string> value;
};

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string HomeDir() {
  std::string home = Variable("HOME");
  return home.empty() ? std::string("/tmp") : home;
}

// An XDG base directory: the variable when it holds an absolute path, else the fallback.
std::string XdgDir(const char* variable, const std::string& fallback) {
  const std::string value = Variable(variable);
  return value.starts_with('/') ? value : fallback;
}

std::string Absolute(const std::string& path) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// Takes "--name value" and "--name=value" out of `args`; stops at "--".
bool TakeOptions(std::vector<std::string>& args, std::array<GlobalOption, 4>& options,
                 std::string* error) {
  for (std::size_t i = 0; i < args.size();) {
    const std::string& arg = args[i];
    if (arg == "--") break;
    GlobalOption* matched = nullptr;
    std::optional<std::string> value;
    for (GlobalOption& option : options) {
      if (arg == option.name) {
        matched = &option;
        if (i + 1 >= args.size()) {
          if (error != nullptr) *error = "option " + std::string(option.name) + " needs a value";
          return false;
        }
        value = args[i + 1];
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        break;
      }
      if (arg.size() > option.name.size() && arg.starts_with(option.name) &&
          arg[option.name.size()] == '=') {
        matched = &option;
        value = arg.substr(option.name.size() + 1);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
        break;
      }
    }
    if (matched == nullptr) {
      ++i;
      continue;
    }
    if (value->empty()) {
      if (error != nullptr) *error = "option " + std::string(matched->name) + " needs a value";
      return false;
    }
    matched->value = std::move(value);
  }
  return true;
}

// Installed programs live under /usr; one started from a build or source tree does not
// belong to the machine's recorder.
bool UsesMachineState(const MachinePaths& machine) {
  std::error_code ignored;
  return machine.executable.starts_with("/usr/") &&
         std::filesystem::is_directory(machine.stateDir, ignored);
}

}  // namespace

MachinePaths MachinePaths::OfThisMachine() {
  MachinePaths machine;
  std::error_code ignored;
  machine.executable = std::filesystem::read_symlink("/proc/self/exe", ignored).string();
  return machine;
}

std::optional<Environment> Environment::FromArguments(std::vector<std::string>& args,
                                                      std::string* error) {
  return FromArguments(args, error, MachinePaths::OfThisMachine());
}

std::optional<Environment> Environment::FromArguments(std::vector<std::string>& args, std::string* error,
                                                      const MachinePaths& machine) {
  std::array<GlobalOption, 4> options{{{"--drives", {}},
                                       {"--state-dir", {}},
                                       {"--config-dir", {}},
                                       {"--recorder", {}}}};
  if (!TakeOptions(args, options, error)) return std::nullopt;
  const auto chosen = [&](std::size_t index, const char* variable) -> std::string {
    if (options[index].value) return *options[index].value;
    return Variable(variable);
  };

  Environment environment;
  const std::string home = HomeDir();
  std::string stateDir = chosen(1, "NORVEX_STATE_DIR");
  if (stateDir.empty() && UsesMachineState(machine)) {
    stateDir = machine.stateDir;
    environment.machineState = true;
  }
  if (stateDir.empty()) stateDir = XdgDir("XDG_STATE_HOME", home + "/.local/state") + "/norvex";
  environment.stateDir = Absolute(stateDir);

  std::string configDir = chosen(2, "NORVEX_CONFIG_DIR");
  if (configDir.empty()) configDir = XdgDir("XDG_CONFIG_HOME", home + "/.config") + "/norvex";
  environment.configDir = Absolute(configDir);

  std::string recorder = chosen(3, "NORVEX_RECORDER");
  if (recorder.empty() && environment.machineState) recorder = machine.recorderSocket;
  if (recorder.empty()) {
    const std::string runtime = Variable("XDG_RUNTIME_DIR");
    recorder = runtime.starts_with('/')
                   ? runtime + "/norvex/recorder.sock"
                   : "/tmp/norvex-" + std::to_string(::getuid()) + "/recorder.sock";
  }
  environment.recorderSocket = Absolute(recorder);

  const std::string drives = chosen(0, "NORVEX_DRIVES");
  if (drives.empty()) {
    environment.defaultDrives = ReadDefaultDrives(environment.stateDir);
    environment.drives = environment.defaultDrives->map;
    environment.driveChanges = environment.defaultDrives->changes;
    for (const LetteredDrive& drive : environment.defaultDrives->drives) {
      if (drive.present) environment.driveIdentities[static_cast<std::size_t>(drive.letter - 'A')] = drive.identity;
    }
  } else {
    std::string why;
    auto map = DriveMap::Parse(drives, &why);
    if (!map) {
      if (error != nullptr) *error = "bad drive map \"" + drives + "\": " + why;
      return std::nullopt;
    }
    // The drive table always lives on C:; a map without C: keeps it in the state directory.
    if (map->Find('C') == nullptr) map->Set('C', environment.stateDir);
    environment.drives = std::move(*map);
    GivenDrives given = CheckGivenDrives(environment.stateDir, environment.drives);
    environment.driveChanges = std::move(given.changes);
    environment.driveIdentities = std::move(given.identities);
  }
  return environment;
}

std::string LoginName() {
  const passwd* account = ::getpwuid(::getuid());
  return account != nullptr && account->pw_name != nullptr ? std::string(account->pw_name) : std::string();
}

void ShareNewFilesWithStateGroup(const std::string& stateDir) {
  struct stat folder{};
  if (::stat(stateDir.c_str(), &folder) != 0 || (folder.st_mode & S_ISGID) == 0) return;
  const mode_t current = ::umask(0);
  ::umask((current & ~mode_t{070}) | 007);
}

const char* Environment::OptionsHelp() {
  return "  --drives MAP       drive letters and the folders they stand for, e.g.\n"
         "                     \"C=/srv/c,D=/data=Data\" (a label may follow a second '=');\n"
         "                     default: $NORVEX_DRIVES, else C: = the state directory and\n"
         "                     D:, E:, ... = the writable disk and network filesystems,\n"
         "                     each keeping its letter (norvex-cli drives lists them)\n"
         "  --state-dir DIR    where the drive table lives (drive C: unless mapped);\n"
         "                     default: $NORVEX_STATE_DIR, else /var/lib/norvex when the\n"
         "                     package made it, else $XDG_STATE_HOME/norvex\n"
         "  --config-dir DIR   where the options are kept;\n"
         "                     default: $NORVEX_CONFIG_DIR, else $XDG_CONFIG_HOME/norvex\n"
         "  --recorder PATH    the activity recorder's socket; default: $NORVEX_RECORDER,\n"
         "                     else /run/norvex/recorder.sock with the machine's state,\n"
         "                     else $XDG_RUNTIME_DIR/norvex/recorder.sock\n"
         "  Every option also takes the form --option=VALUE.";
}

}  // namespace platform
