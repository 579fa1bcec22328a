#include "cli_paths.h"

#include <cctype>

namespace cli {
namespace {

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::optional<char> ParseDriveLetter(std::string_view argument) {
  if (argument.size() == 2 && argument[1] == ':') argument.remove_suffix(1);
  if (argument.size() != 1 || !IsLetter(argument[0])) return std::nullopt;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(argument[0])));
}

std::optional<std::string> ToWindowsPath(const platform::DriveMap& drives, std::string_view argument,
                                         std::string* error) {
  if (argument.size() >= 2 && IsLetter(argument[0]) && argument[1] == ':') {
    return std::string(argument);
  }
  if (argument.empty() || argument.front() != '/') {
    *error = "'" + std::string(argument) + "' is neither a Windows path nor an absolute host path";
    return std::nullopt;
  }
  const platform::MappedDrive* drive = drives.Owner(argument);
  if (!drive) {
    *error = "'" + std::string(argument) + "' is on no mapped drive";
    return std::nullopt;
  }
  std::string path{drive->letter, ':'};
  std::string_view rest = argument.substr(drive->root == "/" ? 0 : drive->root.size());
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (part.empty()) continue;
    if (part == "." || part == ".." || part.find('\\') != std::string_view::npos) {
      *error = "'" + std::string(argument) + "' cannot be written as a Windows path";
      return std::nullopt;
    }
    path += '\\';
    path += part;
  }
  if (path.size() == 2) path += '\\';
  return path;
}

activity::NetworkNames NetworkNamesOf(const platform::System& system) {
  activity::NetworkNames names{};
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    auto remote = system.GetNetworkConnection(letter);
    if (!remote) continue;
    if (!remote->empty() && remote->front() == '\\') remote->erase(0, 1);
    names[static_cast<std::size_t>(letter - 'A')] = std::move(*remote);
  }
  return names;
}

}  // namespace cli
