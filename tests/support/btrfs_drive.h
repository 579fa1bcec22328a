#pragma once
// A fresh 300 MB btrfs image loop-mounted on one drive of a TempDrives, for tests that
// need a filesystem that really compresses. Needs root and btrfs-progs; where mounting
// is not possible, Mounted() is false and WhyNot() says why (for GTEST_SKIP).

#include <memory>
#include <string>

#include "platform/btrfs_image.h"
#include "support/temp_drives.h"

namespace testing_support {

class BtrfsDrive {
 public:
  BtrfsDrive(TempDrives& drives, char letter);
  // Unmounts (the image goes with the drives' folder), so declare it after the drives.
  ~BtrfsDrive() = default;
  BtrfsDrive(const BtrfsDrive&) = delete;
  BtrfsDrive& operator=(const BtrfsDrive&) = delete;

  bool Mounted() const { return image_ != nullptr; }
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& MountPoint() const { return mountPoint_; }

 private:
  std::string mountPoint_;
  std::string whyNot_;
  std::unique_ptr<platform::BtrfsImage> image_;
};

}  // namespace testing_support
