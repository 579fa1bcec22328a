#include "platform/permission_support.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>

#include "platform/mount_views.h"

namespace platform {
namespace {

constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kFuseMagic = 0x65735546;

}  // namespace

bool KeepsOwnersAndModes(int fd) {
  struct statfs filesystem {};
  if (::fstatfs(fd, &filesystem) != 0) return true;
  const auto type = static_cast<long>(filesystem.f_type);
  if (type == MSDOS_SUPER_MAGIC || type == kExfatMagic) return false;
  if (type != kFuseMagic) return true;
  // FUSE on a block device is how exFAT and NTFS disks are mounted without the kernel's
  // drivers; FUSE over the network (sshfs) keeps the server's owners and modes.
  struct stat file {};
  if (::fstat(fd, &file) != 0) return true;
  const MountViews mounts = MountViews::Read();
  return std::none_of(mounts.All().begin(), mounts.All().end(), [&](const MountView& mount) {
    return mount.device == file.st_dev && mount.fileSystem == "fuseblk";
  });
}

}  // namespace platform
