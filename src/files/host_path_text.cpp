#include "files/host_path_text.h"

#include "platform/system.h"

namespace files {

std::string WithHostPath(const platform::System& system, const std::string& windowsPath) {
  std::string asked = windowsPath;
  // A folder's path ends in '\'; only a drive's root keeps it.
  if (asked.size() > 3 && asked.back() == '\\') asked.pop_back();
  const auto host = system.HostPath(asked);
  return host ? windowsPath + " = " + *host : windowsPath;
}

}  // namespace files
