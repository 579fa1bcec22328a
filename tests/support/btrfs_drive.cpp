#include "support/btrfs_drive.h"

namespace testing_support {

BtrfsDrive::BtrfsDrive(TempDrives& drives, char letter)
    : mountPoint_(drives.Root(letter)),
      image_(platform::BtrfsImage::Mount(drives.Dir() + "/btrfs-" + letter + ".img", mountPoint_,
                                         std::uint64_t{300} << 20, &whyNot_)) {
  // The drive is this filesystem from now on, not the folder it was mounted on.
  drives.System().RememberDrives();
}

}  // namespace testing_support
