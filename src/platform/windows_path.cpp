#include "platform/windows_path.h"

#include <cctype>

namespace platform {

std::optional<char> DriveLetterOf(std::string_view windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])));
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  return letter;
}

std::optional<std::string> HostPathOf(const DriveMap& drives, std::string_view windowsPath) {
  const auto letter = DriveLetterOf(windowsPath);
  if (!letter) return std::nullopt;
  const MappedDrive* drive = drives.Find(*letter);
  if (drive == nullptr) return std::nullopt;
  std::string_view rest = windowsPath.substr(2);
  if (!rest.empty() && rest.front() != '\\' && rest.front() != '/') return std::nullopt;

  std::string host = drive->root;
  while (!rest.empty()) {
    const std::size_t separator = rest.find_first_of("\\/");
    const std::string_view component = rest.substr(0, separator);
    rest = separator == std::string_view::npos ? std::string_view{} : rest.substr(separator + 1);
    if (component.empty()) continue;
    if (component == "." || component == "..") return std::nullopt;
    if (component.find('\0') != std::string_view::npos) return std::nullopt;
    if (host.back() != '/') host += '/';
    host += component;
  }
  return host;
}

std::optional<std::string> WindowsPathOf(const DriveMap& drives, std::string_view hostPath) {
  const MappedDrive* drive = drives.Owner(hostPath);
  if (drive == nullptr) return std::nullopt;
  std::string_view rest = hostPath.substr(drive->root == "/" ? 0 : drive->root.size());
  if (rest.find('\\') != std::string_view::npos) return std::nullopt;
  std::string windows{drive->letter, ':', '\\'};
  while (!rest.empty()) {
    const std::size_t separator = rest.find('/');
    const std::string_view component = rest.substr(0, separator);
    rest = separator == std::string_view::npos ? std::string_view{} : rest.substr(separator + 1);
    if (component.empty()) continue;
    if (component == "." || component == "..") return std::nullopt;
    if (windows.back() != '\\') windows += '\\';
    windows += component;
  }
  return windows;
}

std::string HostParent(std::string_view hostPath) {
  while (hostPath.size() > 1 && hostPath.back() == '/') hostPath.remove_suffix(1);
  const std::size_t slash = hostPath.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(hostPath.substr(0, slash));
}

}  // namespace platform
