#pragma once
// A throw-away set of drives for tests: a fresh temporary folder with one sub-folder per
// drive letter, an Environment over them and a HostSystem. Everything is removed again
// when the fixture goes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/environment.h"
#include "platform/host_system.h"

namespace testing_support {

class TempDrives {
 public:
  // One drive per letter of `letters`; C: (when present) is also the state directory.
  explicit TempDrives(std::string_view letters = "CDE");
  ~TempDrives();
  TempDrives(const TempDrives&) = delete;
  TempDrives& operator=(const TempDrives&) = delete;

  const std::string& Dir() const { return dir_; }  // the temporary folder
  std::string Root(char letter) const;             // host folder of a drive
  platform::Environment& Environment() { return environment_; }
  platform::HostSystem& System() { return *system_; }

  // Host path of a Windows path on these drives; fails the test for a refused path.
  std::string Host(std::string_view windowsPath) const;
  // Writes `content` with write() (creating missing folders), so no data is shared.
  void WriteFile(std::string_view windowsPath, std::string_view content);
  // Writes `size` bytes of `fill` (or incompressible bytes when `random` is set).
  void WriteFileOfSize(std::string_view windowsPath, std::uint64_t size, char fill = 'x',
                       bool random = false);
  std::string ReadFile(std::string_view windowsPath) const;
  void MakeDirectory(std::string_view windowsPath);
  bool Exists(std::string_view windowsPath) const;

 private:
  std::string dir_;
  platform::Environment environment_;
  std::unique_ptr<platform::HostSystem> system_;
};

// Removes a host folder and everything in it (does not follow symbolic links).
void RemoveTree(const std::string& hostPath);

}  // namespace testing_support
