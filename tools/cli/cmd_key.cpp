// norvex-cli key: the path key of each PATH, as the scan computes it.

#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "activity/path_key.h"
#include "cli_text.h"
#include "command.h"
#include "platform/windows_path.h"

namespace cli {
namespace {

// The key text's bytes as stored: each word little-endian.
std::string KeyTextHexDigits(const std::vector<std::uint16_t>& text) {
  std::string hex;
  hex.reserve(text.size() * 4);
  for (const std::uint16_t word : text) hex += HexDigits(word & 0xFF, 2) + HexDigits(word >> 8, 2);
  return hex;
}

bool IsWindowsPath(const std::string& path) {
  return path.size() >= 3 && platform::DriveLetterOf(path) && path[2] == '\\';
}

// The Windows path of an argument, or nullopt with `error` set.
std::optional<std::string> WindowsPathOfArgument(const platform::System& system,
                                                 const std::string& argument, std::string& error) {
  if (IsWindowsPath(argument)) return argument;
  if (!argument.empty() && argument.front() == '/') {
    if (auto path = platform::WindowsPathOf(system.Drives(), argument)) return path;
    error = "no drive holds '" + argument + "' (or a name in it holds '\\')";
    return std::nullopt;
  }
  error = "'" + argument + "' is neither a Windows path (X:\\...) nor an absolute host path";
  return std::nullopt;
}

int Key(Context& context, const std::vector<std::string>& args) {
  std::optional<std::string> network;
  bool withText = false;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--network") {
      if (i + 1 == args.size()) {
        context.err << "norvex-cli key: --network needs a remote name such as \\server\\share\n";
        return kExitUsage;
      }
      network = args[++i];
    } else if (args[i] == "--text") {
      withText = true;
    } else if (args[i].starts_with("--")) {
      context.err << "norvex-cli key: unknown option '" << args[i] << "'\n";
      return kExitUsage;
    } else {
      std::string error;
      const auto path = WindowsPathOfArgument(context.system, args[i], error);
      if (!path) {
        context.err << "norvex-cli key: " << error << "\n";
        return kExitUsage;
      }
      paths.push_back(*path);
    }
  }
  if (paths.empty()) {
    context.err << "norvex-cli key: no PATH given\n";
    return kExitUsage;
  }

  activity::NetworkNames names;
  if (network) {
    names.fill(*network);  // only each path's own drive matters for its key
  } else {
    names = activity::ReadNetworkNames(context.system);
  }
  for (const std::string& path : paths) {
    context.out << HexDigits(activity::PathKey(path, names), 16) << "\n";
    if (withText) context.out << KeyTextHexDigits(activity::BuildKeyText(path, names)) << "\n";
  }
  return kExitOk;
}

}  // namespace

const Command kKeyCommand{"key",
    "key [--network REMOTE] [--text] PATH...   path keys (16 hex digits; --text adds the key text's bytes)",
    &Key};

}  // namespace cli
