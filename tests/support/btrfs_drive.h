#pragma once
// A fresh 300 MB btrfs image loop-mounted on one drive of a TempDrives, for tests that
// need a filesystem that really compresses. Needs root and btrfs-progs; where mounting
// is not possible, Mounted() is false and WhyNot() says why (for GTEST_SKIP).

#include <string>

#include "support/temp_drives.h"

namespace testing_support {

class BtrfsDrive {
 public:
  BtrfsDrive(TempDrives& drives, char letter);
  ~BtrfsDrive();  // unmounts; the image goes with the drives' folder
  BtrfsDrive(const BtrfsDrive&) = delete;
  BtrfsDrive& operator=(const BtrfsDrive&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& MountPoint() const { return mountPoint_; }

 private:
  std::string mountPoint_;
  std::string whyNot_;
  bool mounted_ = false;
};

}  // namespace testing_support
