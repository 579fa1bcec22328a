#include "support/image_drive.h"

namespace testing_support {
namespace {

std::uint64_t ImageBytes(platform::ImageFormat format) {
  // btrfs refuses to make a filesystem much smaller than this.
  return (format == platform::ImageFormat::Btrfs ? std::uint64_t{300} : std::uint64_t{32}) << 20;
}

}  // namespace

ImageDrive::ImageDrive(TempDrives& drives, char letter, platform::ImageFormat format)
    : mountPoint_(drives.Root(letter)),
      image_(platform::DiskImage::Mount(format, drives.Dir() + "/image-" + letter + ".img", mountPoint_,
                                        ImageBytes(format), &whyNot_)) {
  // The drive is this filesystem from now on, not the folder it was mounted on.
  drives.System().RememberDrives();
}

}  // namespace testing_support
