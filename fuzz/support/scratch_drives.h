#pragma once
// Drives C:, D: and E: in a private temporary folder, for targets that need real files.
// One set per process, emptied before each input, removed when the process ends. The
// folder is made under $TMPDIR (scripts/fuzz points it at a memory filesystem, where the
// flushes of the atomic writes cost nothing).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/environment.h"
#include "platform/host_system.h"

namespace fuzz_support {

class ScratchDrives {
 public:
  // The process's drives, emptied.
  static ScratchDrives& Fresh();
  ~ScratchDrives();

  platform::HostSystem& System() { return *system_; }
  const platform::Environment& Environment() const { return environment_; }
  std::string Root(char letter) const { return dir_ + "/" + letter; }
  const std::string& Dir() const { return dir_; }
  // Host path of a Windows path on these drives (empty when refused).
  std::string Host(std::string_view windowsPath) const;

  static void WriteHostFile(const std::string& hostPath, std::string_view content);
  static std::string ReadHostFile(const std::string& hostPath);

 private:
  ScratchDrives();
  void Empty();

  std::string dir_;
  platform::Environment environment_;
  std::unique_ptr<platform::HostSystem> system_;
};

}  // namespace fuzz_support
