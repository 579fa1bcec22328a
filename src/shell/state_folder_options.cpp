#include "shell/state_folder_options.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace shell {

StateFolderOptions::StateFolderOptions(OptionStore& userOptions, std::string stateDir, bool honourUserMark)
    : userOptions_(userOptions), stateDir_(std::move(stateDir)), honourUserMark_(honourUserMark) {}

std::string StateFolderOptions::MarkerPath() const {
  return (std::filesystem::path(stateDir_) / kFirstRunMarkerFile).string();
}

std::string StateFolderOptions::Read(const std::string& name) {
  if (name != kExecutedAtLeastOneTimeOption || stateDir_.empty()) return userOptions_.Read(name);
  std::error_code ignored;
  if (std::filesystem::is_regular_file(MarkerPath(), ignored)) return kOn;
  return honourUserMark_ ? userOptions_.Read(name) : std::string();
}

void StateFolderOptions::Write(const std::string& name, const std::string& value) {
  if (name != kExecutedAtLeastOneTimeOption || stateDir_.empty()) {
    userOptions_.Write(name, value);
    return;
  }
  // Failures go unreported, as for every option: the mark then reads as off.
  if (value == kOn) {
    std::ofstream(MarkerPath(), std::ios::app);
  } else {
    std::error_code ignored;
    std::filesystem::remove(MarkerPath(), ignored);
  }
}

}  // namespace shell
