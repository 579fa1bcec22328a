#include "files/overwrite_versions.h"

#include <sys/stat.h>

#include <ctime>

#include "platform/system.h"

namespace files {

std::string VersionText(const platform::System& system, const std::string& path) {
  const auto host = system.HostPath(path);
  struct stat info {};
  if (!host || ::lstat(host->c_str(), &info) != 0) return {};
  std::tm local{};
  const std::time_t modified = info.st_mtime;
  char when[32] = "?";
  if (::localtime_r(&modified, &local) != nullptr) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &local);
  return std::to_string(info.st_size) + " bytes, modified " + when;
}

}  // namespace files
