#include "cli_paths.h"

#include <cctype>
#include <ostream>

#include "platform/system.h"
#include "platform/windows_path.h"

namespace cli {

std::optional<char> ParseDriveLetter(std::string_view argument) {
  if (argument.size() == 1) {
    const unsigned char c = static_cast<unsigned char>(argument[0]);
    if (std::isalpha(c)) return static_cast<char>(std::toupper(c));
    return std::nullopt;
  }
  return argument.size() == 2 ? platform::DriveLetterOf(argument) : std::nullopt;
}

std::optional<std::string> ToWindowsPath(const platform::DriveMap& drives, std::string_view argument,
                                         std::string* error) {
  if (platform::DriveLetterOf(argument)) return std::string(argument);
  if (argument.empty() || argument.front() != '/') {
    *error = "'" + std::string(argument) + "' is neither a Windows path nor an absolute host path";
    return std::nullopt;
  }
  if (auto path = platform::WindowsPathOf(drives, argument)) return path;
  *error = "'" + std::string(argument) + "' is on no mapped drive or cannot be written as a Windows path";
  return std::nullopt;
}

std::optional<std::string> ToWindowsFolder(Context& context, std::string_view argument) {
  const platform::System& system = context.system;
  std::string error;
  auto path = ToWindowsPath(system.Drives(), argument, &error);
  if (!path) {
    context.err << "norvex-cli: " << error << "\n";
    return std::nullopt;
  }
  const std::uint32_t attributes = system.GetFileAttributes(*path);
  if (!system.HostPath(*path) || attributes == platform::kInvalidAttributes ||
      (attributes & platform::kAttrDirectory) == 0) {
    context.err << "norvex-cli: '" << *path << "' is not a folder on the drive map\n";
    return std::nullopt;
  }
  if (path->back() != '\\') *path += '\\';
  return path;
}

}  // namespace cli
