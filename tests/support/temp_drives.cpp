#include "support/temp_drives.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/unique_fd.h"

namespace testing_support {
namespace {

std::string TempBase() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}

void MakeParents(const std::string& hostPath) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), ignored);
}

}  // namespace

void RemoveTree(const std::string& hostPath) {
  // Through descriptors, a level at a time, holding one at once: tests make folder chains
  // deeper than any path can name and than a process may keep descriptors open.
  platform::UniqueFd folder(::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder) {
    ::unlink(hostPath.c_str());
    return;
  }
  struct Level {
    std::string name;                 // of the folder entered, in the level above
    std::set<std::string> stuck;      // its subfolders that could not be removed
  };
  std::vector<Level> levels{{hostPath, {}}};
  while (folder) {
    std::string subfolder;
    if (DIR* listing = ::fdopendir(::dup(folder.Get()))) {
      while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || levels.back().stuck.contains(name)) continue;
        if (::unlinkat(folder.Get(), name.c_str(), 0) != 0 && subfolder.empty()) subfolder = name;
      }
      ::closedir(listing);
    }
    if (!subfolder.empty()) {
      platform::UniqueFd below(::openat(folder.Get(), subfolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (below) {
        levels.push_back({subfolder, {}});
        folder = std::move(below);
      } else {
        levels.back().stuck.insert(subfolder);
      }
      continue;
    }
    if (levels.size() == 1) break;
    folder = platform::UniqueFd(::openat(folder.Get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::string name = levels.back().name;
    levels.pop_back();
    if (folder && ::unlinkat(folder.Get(), name.c_str(), AT_REMOVEDIR) != 0) levels.back().stuck.insert(name);
  }
  ::rmdir(hostPath.c_str());
}

TempDrives::TempDrives(std::string_view letters) {
  std::string pattern = TempBase() + "/norvex-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  for (const char letter : letters) {
    const std::string root = dir_ + "/" + letter;
    ::mkdir(root.c_str(), 0755);
    environment_.drives.Set(letter, root);
  }
  environment_.stateDir = letters.find('C') != std::string_view::npos ? Root('C') : dir_ + "/state";
  environment_.configDir = dir_ + "/config";
  environment_.recorderSocket = dir_ + "/recorder.sock";
  ::mkdir(environment_.configDir.c_str(), 0755);
  system_ = std::make_unique<platform::HostSystem>(environment_);
}

TempDrives::~TempDrives() { RemoveTree(dir_); }

std::string TempDrives::Root(char letter) const { return dir_ + "/" + letter; }

std::string TempDrives::Host(std::string_view windowsPath) const {
  const auto host = system_->HostPath(windowsPath);
  EXPECT_TRUE(host.has_value()) << "refused path " << windowsPath;
  return host.value_or(dir_ + "/refused");
}

void TempDrives::WriteFile(std::string_view windowsPath, std::string_view content) {
  const std::string host = Host(windowsPath);
  MakeParents(host);
  const platform::UniqueFd fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  ASSERT_TRUE(fd.Valid()) << "cannot create " << host;
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t count = ::write(fd.Get(), content.data() + done, content.size() - done);
    ASSERT_GT(count, 0) << "write failed on " << host;
    done += static_cast<std::size_t>(count);
  }
}

void TempDrives::WriteFileOfSize(std::string_view windowsPath, std::uint64_t size, char fill,
                                 bool random) {
  const std::string host = Host(windowsPath);
  MakeParents(host);
  const platform::UniqueFd fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  ASSERT_TRUE(fd.Valid()) << "cannot create " << host;
  std::vector<char> block(1 << 20, fill);
  std::mt19937_64 generator(size);
  for (std::uint64_t left = size; left > 0;) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    if (random) {
      for (std::size_t i = 0; i < chunk; ++i) block[i] = static_cast<char>(generator());
    }
    const ssize_t count = ::write(fd.Get(), block.data(), chunk);
    ASSERT_GT(count, 0) << "write failed on " << host;
    left -= static_cast<std::uint64_t>(count);
  }
}

std::string TempDrives::ReadFile(std::string_view windowsPath) const {
  std::ifstream in(Host(windowsPath), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void TempDrives::MakeDirectory(std::string_view windowsPath) {
  std::error_code ignored;
  std::filesystem::create_directories(Host(windowsPath), ignored);
}

bool TempDrives::Exists(std::string_view windowsPath) const {
  struct stat info {};
  return ::lstat(Host(windowsPath).c_str(), &info) == 0;
}

}  // namespace testing_support
