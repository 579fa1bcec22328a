// Drives stay the filesystems they were: a disk unmounted since, never mounted where the
// filesystem table says one belongs, or another than the one its letter was kept for, is
// named and refused.

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/drive_identity.h"
#include "platform/environment.h"
#include "platform/host_system.h"
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

// A map given by hand keeps the filesystem of each letter it is the first to give out,
// and is held to the one kept before.
TEST(GivenDrives, ALetterNamingAnotherFilesystemThanTheOneKeptIsRefused) {
  TempDrives drives("CDEF");
  const std::string state = drives.Root('C');
  std::ofstream(state + "/drive-letters") << "E\tuuid:elsewhere\t/media/old\n";
  const std::string map = "C=" + state + ",D=" + drives.Root('D') + ",E=" + drives.Root('E') + ",F=" +
                          drives.Root('F') + "=Backup";
  const auto read = [&] {
    std::vector<std::string> args{"--drives", map, "--state-dir", state};
    std::string error;
    auto environment = Environment::FromArguments(args, &error);
    EXPECT_TRUE(environment) << error;
    return environment.value_or(Environment{});
  };
  const auto index = [](char letter) { return static_cast<std::size_t>(letter - 'A'); };

  const Environment first = read();
  const std::string expected = "E: (" + drives.Root('E') + ") is not the filesystem E: stood for before "
                               "(uuid:elsewhere, last at /media/old)";
  EXPECT_EQ(first.driveChanges[index('E')], expected);
  EXPECT_EQ(HostSystem(first).DriveProblem('E').value_or("fine"), expected);
  // D: and F:, two folders of one disk, are kept for it: read again, they stay fine.
  EXPECT_EQ(read().driveChanges, first.driveChanges);
  EXPECT_EQ(first.driveChanges[index('D')] + first.driveChanges[index('F')], "");

  if (::mount("tmpfs", drives.Root('F').c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
  }
  const Environment mounted = read();
  ::umount2(drives.Root('F').c_str(), MNT_DETACH);
  EXPECT_TRUE(mounted.driveChanges[index('F')].starts_with("F: Backup (" + drives.Root('F') +
                                                          ") is not the filesystem F: stood for before"))
      << mounted.driveChanges[index('F')];
  EXPECT_EQ(mounted.driveChanges[index('D')], "");
}

}  // namespace
}  // namespace platform
