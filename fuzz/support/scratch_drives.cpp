#include "support/scratch_drives.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/unique_fd.h"

namespace fuzz_support {
namespace {

constexpr const char* kLetters = "CDE";

std::string TempBase() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}

}  // namespace

ScratchDrives& ScratchDrives::Fresh() {
  // Function-local so that it is made on first use and removed at exit.
  static ScratchDrives drives;
  drives.Empty();
  return drives;
}

ScratchDrives::ScratchDrives() {
  std::string pattern = TempBase() + "/norvex-fuzz-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed in " + TempBase());
  dir_ = pattern;
  for (const char* letter = kLetters; *letter != '\0'; ++letter) {
    environment_.drives.Set(*letter, Root(*letter));
  }
  environment_.stateDir = Root('C');
  environment_.configDir = dir_ + "/config";
  environment_.recorderSocket = dir_ + "/recorder.sock";
  system_ = std::make_unique<platform::HostSystem>(environment_);
}

ScratchDrives::~ScratchDrives() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

void ScratchDrives::Empty() {
  std::error_code ignored;
  for (const char* letter = kLetters; *letter != '\0'; ++letter) {
    std::filesystem::remove_all(Root(*letter), ignored);
    ::mkdir(Root(*letter).c_str(), 0755);
  }
  std::filesystem::remove_all(environment_.configDir, ignored);
  ::mkdir(environment_.configDir.c_str(), 0755);
  // The roots are new folders: actions would take them for other filesystems.
  system_->RememberDrives();
}

std::string ScratchDrives::Host(std::string_view windowsPath) const {
  return system_->HostPath(windowsPath).value_or(std::string());
}

void ScratchDrives::WriteHostFile(const std::string& hostPath, std::string_view content) {
  const platform::UniqueFd fd(::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  std::size_t done = 0;
  while (fd && done < content.size()) {
    const ssize_t n = ::write(fd.Get(), content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  if (!fd || done != content.size()) {
    std::fprintf(stderr, "cannot write %s\n", hostPath.c_str());
    std::abort();
  }
}

std::string ScratchDrives::ReadHostFile(const std::string& hostPath) {
  const platform::UniqueFd fd(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
  std::string content;
  char buffer[65536];
  for (ssize_t n; fd && (n = ::read(fd.Get(), buffer, sizeof buffer)) > 0;) {
    content.append(buffer, static_cast<std::size_t>(n));
  }
  return content;
}

}  // namespace fuzz_support
