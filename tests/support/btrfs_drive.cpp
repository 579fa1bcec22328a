#include "support/btrfs_drive.h"

namespace testing_support {

BtrfsDrive::BtrfsDrive(TempDrives& drives, char letter)
    : mountPoint_(drives.Root(letter)),
      image_(platform::BtrfsImage::Mount(drives.Dir() + "/btrfs-" + letter + ".img", mountPoint_,
                                         std::uint64_t{300} << 20, &whyNot_)) {}

}  // namespace testing_support
