// Drives stay the filesystems they were: a disk unmounted since, or never mounted where
// the filesystem table says one belongs, is named and refused.

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/drive_identity.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

using testing_support::TempDrives;

TEST(DriveIdentities, AMountPointWithoutItsDiskIsNotMounted) {
  TempDrives drives("CE");
  DriveMap map = DriveMap::Parse("E=" + drives.Root('E') + "=Backup").value();
  const std::string fstab = drives.Dir() + "/fstab";
  std::ofstream(fstab) << "/dev/sdz1 " << drives.Root('E') << " ext4 defaults 0 2\n";
  const std::string expected = "E: Backup (" + drives.Root('E') + ") is not mounted";

  DriveIdentities identities;
  identities.Remember(map, fstab);
  EXPECT_EQ(identities.Problem(*map.Find('E')).value_or("fine"), expected);

  if (::mount("tmpfs", drives.Root('E').c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  }
  identities.Remember(map, fstab);
  EXPECT_FALSE(identities.Problem(*map.Find('E')));
  ::umount2(drives.Root('E').c_str(), MNT_DETACH);
  EXPECT_EQ(identities.Problem(*map.Find('E')).value_or("fine"), expected);
}

}  // namespace
}  // namespace platform
