#pragma once
// A fresh filesystem image loop-mounted on one drive of a TempDrives, for tests that need
// a filesystem that really compresses (btrfs, 300 MB) or one with FAT's limits (exFAT
// through FUSE, 32 MB). Needs root and the format's tools; where mounting is not
// possible, Mounted() is false and WhyNot() says why (for GTEST_SKIP).

#include <memory>
#include <string>

#include "platform/disk_image.h"
#include "support/temp_drives.h"

namespace testing_support {

class ImageDrive {
 public:
  ImageDrive(TempDrives& drives, char letter, platform::ImageFormat format);
  // Unmounts (the image goes with the drives' folder), so declare it after the drives.
  ~ImageDrive() = default;
  ImageDrive(const ImageDrive&) = delete;
  ImageDrive& operator=(const ImageDrive&) = delete;

  bool Mounted() const { return image_ != nullptr; }
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& MountPoint() const { return mountPoint_; }

 private:
  std::string mountPoint_;
  std::string whyNot_;
  std::unique_ptr<platform::DiskImage> image_;
};

}  // namespace testing_support
