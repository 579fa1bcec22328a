#include "platform/volume_query.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/mount_table.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

TEST(MountTable, ParsesEscapesAndFindsTheInnermostLatestMount) {
  const MountTable table = MountTable::Parse(
      "/dev/sda1 / ext4 rw 0 0\n"
      "\n"
      "/dev/sdb1 /media/my\\040disk vfat rw 0 0\n"
      "/dev/sda2 /home ext4 rw 0 0\n"
      "//nas/share /home/u/nas cifs rw 0 0\n"
      "tmpfs /home tmpfs rw 0 0\n"
      "broken-line\n");
  ASSERT_EQ(table.Entries().size(), 5u);
  EXPECT_EQ(table.Entries()[1].target, "/media/my disk");
  EXPECT_EQ(table.Containing("/media/my disk/x")->source, "/dev/sdb1");
  EXPECT_EQ(table.Containing("/home/u/nas/doc")->fileSystem, "cifs");
  EXPECT_EQ(table.Containing("/home/u")->fileSystem, "tmpfs");  // mounted over /home later
  EXPECT_EQ(table.Containing("/homework")->source, "/dev/sda1");
  EXPECT_EQ(MountTable::Parse("").Containing("/"), nullptr);
}

TEST(MountTable, PseudoFilesystemsAreNoDrives) {
  EXPECT_TRUE(IsPseudoFilesystem({"proc", "/proc", "proc", ""}));
  EXPECT_TRUE(IsPseudoFilesystem({"tmpfs", "/run/user/1000", "tmpfs", ""}));
  EXPECT_TRUE(IsPseudoFilesystem({"tmpfs", "/dev/shm", "tmpfs", ""}));
  EXPECT_TRUE(IsPseudoFilesystem({"cgroup2", "/sys/fs/cgroup", "cgroup2", ""}));
  EXPECT_FALSE(IsPseudoFilesystem({"tmpfs", "/tmp", "tmpfs", ""}));
  EXPECT_FALSE(IsPseudoFilesystem({"/dev/sda1", "/", "ext4", ""}));
  EXPECT_FALSE(IsPseudoFilesystem({"/dev/sdc1", "/run/media/u/stick", "vfat", ""}));
}

TEST(VolumeInfo, AFolderIsLabelledByItsNameAMountWithoutLabelByItsMountPoint) {
  const testing_support::TempDrives drives("C");
  const std::string base = std::filesystem::canonical(drives.Dir()).string();
  std::filesystem::create_directories(base + "/My Data");
  std::filesystem::create_directories(base + "/mnt");
  const MountTable table = MountTable::Parse("/dev/nonexistent-root / ext4 rw 0 0\n"
                                             "none " + base + "/mnt tmpfs rw 0 0\n");
  EXPECT_EQ(VolumeInfoOf(table, {'D', base + "/My Data", ""})->label, "My Data");
  EXPECT_EQ(VolumeInfoOf(table, {'E', base + "/mnt", ""})->label, base + "/mnt");
  EXPECT_EQ(VolumeInfoOf(table, {'F', "/", ""})->label, "/");
  EXPECT_EQ(VolumeInfoOf(table, {'D', base + "/My Data", "Work"})->label, "Work");  // a label given wins
}

TEST(NetworkNames, RemoteSourcesBecomeUncNames) {
  EXPECT_EQ(UncNameOfSource("//server/share"), "\\\\server\\share");
  EXPECT_EQ(UncNameOfSource("//server/share/sub/"), "\\\\server\\share\\sub");
  EXPECT_EQ(UncNameOfSource("nas:/export/home"), "\\\\nas\\export\\home");
  EXPECT_EQ(UncNameOfSource("user@host:/data"), "\\\\user@host\\data");
  EXPECT_FALSE(UncNameOfSource("/dev/sda1"));
  EXPECT_FALSE(UncNameOfSource("//"));
  EXPECT_TRUE(IsRemoteFilesystem("nfs4"));
  EXPECT_TRUE(IsRemoteFilesystem("fuse.sshfs"));
  EXPECT_FALSE(IsRemoteFilesystem("ext4"));
}

}  // namespace
}  // namespace platform
