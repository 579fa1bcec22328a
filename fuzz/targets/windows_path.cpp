// Windows paths and host paths in both directions, for any drive map: the first input
// line is the map (a default one when it does not parse), the second a Windows path, the
// rest a host path. A Windows path that is taken names something inside its drive's
// folder, never above it; a host path inside a drive comes back from its Windows path.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/drive_map.h"
#include "platform/windows_path.h"
#include "support/fuzz_check.h"
#include "support/host_paths.h"

namespace {

std::string_view Line(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return line;
}

bool HasDotComponent(std::string_view path) {
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view component = path.substr(0, slash);
    if (component == "." || component == "..") return true;
    path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
  }
  return false;
}

using fuzz_support::Collapsed;

bool IsWithin(std::string_view path, std::string_view root) {
  if (root == "/") return path.starts_with('/');
  return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  auto map = platform::DriveMap::Parse(Line(rest));
  if (!map) map = platform::DriveMap::Parse("C=/srv/c,D=/,E=/srv/c/e");
  const std::string_view windowsPath = Line(rest);
  // A host path is a C string: it ends at its first NUL.
  const std::string_view hostPath = rest.substr(0, rest.find('\0'));

  if (const auto host = platform::HostPathOf(*map, windowsPath)) {
    const auto letter = platform::DriveLetterOf(windowsPath);
    FUZZ_CHECK(letter.has_value() && map->Find(*letter) != nullptr);
    FUZZ_CHECK(IsWithin(*host, map->Find(*letter)->root));
    FUZZ_CHECK(!HasDotComponent(*host));
    FUZZ_CHECK(host->find('\0') == std::string::npos);
    // Its Windows path may name it by another drive (a root inside a root), never another file.
    if (const auto again = platform::WindowsPathOf(*map, *host)) {
      FUZZ_CHECK(platform::HostPathOf(*map, *again) == host);
    }
  }
  // A host path as the kernel gives it (no repeated slashes) keeps its Windows path; any
  // other names the same file through it.
  if (const auto windows = platform::WindowsPathOf(*map, hostPath)) {
    const auto host = platform::HostPathOf(*map, *windows);
    FUZZ_CHECK(host.has_value() && Collapsed(*host) == Collapsed(hostPath));
    if (hostPath == Collapsed(hostPath)) FUZZ_CHECK(platform::WindowsPathOf(*map, *host) == windows);
  }
  platform::HostParent(hostPath);
  return 0;
}
