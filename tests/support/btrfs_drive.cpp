#include "support/btrfs_drive.h"

#include <unistd.h>

#include <cstdlib>
#include <cstdio>

namespace testing_support {

BtrfsDrive::BtrfsDrive(TempDrives& drives, char letter) : mountPoint_(drives.Root(letter)) {
  if (::geteuid() != 0) {
    whyNot_ = "mounting a btrfs image needs root";
    return;
  }
  if (std::system("command -v mkfs.btrfs >/dev/null 2>&1") != 0) {
    whyNot_ = "mkfs.btrfs is not installed (package btrfs-progs)";
    return;
  }
  const std::string image = drives.Dir() + "/btrfs-" + letter + ".img";
  const std::string make =
      "truncate -s 300M '" + image + "' && mkfs.btrfs -q -f '" + image + "' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) {
    whyNot_ = "mkfs.btrfs failed on " + image;
    return;
  }
  const std::string mount = "mount -o loop '" + image + "' '" + mountPoint_ + "' 2>/dev/null";
  if (std::system(mount.c_str()) != 0) {
    whyNot_ = "loop-mounting a btrfs image is not allowed here";
    return;
  }
  mounted_ = true;
}

BtrfsDrive::~BtrfsDrive() {
  if (!mounted_) return;
  const std::string unmount =
      "umount '" + mountPoint_ + "' 2>/dev/null || umount -l '" + mountPoint_ + "'";
  if (std::system(unmount.c_str()) != 0) std::fprintf(stderr, "could not unmount %s\n", mountPoint_.c_str());
}

}  // namespace testing_support
