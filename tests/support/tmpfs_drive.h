#pragma once
// A tmpfs of a given size mounted on one drive of a TempDrives and taken into its drive
// map as that drive, for tests of small drives and of disks that go away. Needs root;
// where mounting is not possible, Mounted() is false and WhyNot() says why.

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "support/temp_drives.h"

namespace testing_support {

// A tmpfs of `size` on a drive's root, taken into the drive map as that drive.
class TmpfsDrive {
 public:
  TmpfsDrive(TempDrives& drives, char letter, const char* size) : root_(drives.Root(letter)) {
    const std::string options = std::string("size=") + size;
    mounted_ = ::mount("tmpfs", root_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (!mounted_) whyNot_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    drives.System().RememberDrives();
  }
  ~TmpfsDrive() { Unmount(); }
  TmpfsDrive(const TmpfsDrive&) = delete;
  TmpfsDrive& operator=(const TmpfsDrive&) = delete;
  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return whyNot_; }
  void Unmount() {
    if (mounted_) ::umount2(root_.c_str(), MNT_DETACH);
    mounted_ = false;
  }

 private:
  std::string root_;
  std::string whyNot_;
  bool mounted_ = false;
};

}  // namespace testing_support
