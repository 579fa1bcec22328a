#include "platform/drive_map.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_drives.h"

namespace platform {
namespace {

TEST(DriveMapParse, ReadsLettersRootsAndLabels) {
  std::string error;
  const auto map = DriveMap::Parse("C=/srv/c, d=/data/=Data,E=/=Root Fs", &error);
  ASSERT_TRUE(map) << error;
  ASSERT_NE(map->Find('C'), nullptr);
  EXPECT_EQ(map->Find('C')->root, "/srv/c");
  EXPECT_EQ(map->Find('d')->root, "/data");  // letters are case-insensitive, no trailing '/'
  EXPECT_EQ(map->Find('D')->label, "Data");
  EXPECT_EQ(map->Find('E')->root, "/");
  EXPECT_EQ(map->Find('E')->label, "Root Fs");
  EXPECT_EQ(map->Find('F'), nullptr);
  EXPECT_EQ(map->ToString(), "C=/srv/c,D=/data=Data,E=/=Root Fs");
  EXPECT_EQ(DriveMap::Parse(map->ToString())->ToString(), map->ToString());
}

TEST(DriveMapParse, RefusesBadInputWithAMessage) {
  for (const char* bad : {"", " ", "C", "C=", "C=relative/path", "1=/x", "C=/a,,D=/b",
                          "C=/a,C=/b", "CD=/x", "=/x", "C:/x"}) {
    std::string error;
    EXPECT_FALSE(DriveMap::Parse(bad, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  // The host would end the folder at the NUL: another folder than the one written.
  EXPECT_FALSE(DriveMap::Parse(std::string_view("C=/srv\0/c", 9)));
}

// The recorder learns of files by the kernel's paths, which never hold "//", "." or "..":
// a root written with them would own no file it reports, so the drive counted nothing.
TEST(DriveMapParse, FoldersAreKeptAsTheKernelNamesThem) {
  const auto map = DriveMap::Parse("C=//srv//c/,D=/srv/./d");
  ASSERT_TRUE(map);
  EXPECT_EQ(map->Find('C')->root, "/srv/c");
  EXPECT_EQ(map->Find('D')->root, "/srv/d");
  EXPECT_EQ(map->Owner("/srv/d/a.txt")->letter, 'D');
  std::string error;
  EXPECT_FALSE(DriveMap::Parse("D=/srv/x/../d", &error));
  EXPECT_NE(error.find(".."), std::string::npos) << error;
}

// The map travels as text (options, the companions' --drives): whatever a text parses to
// must come back from its written form unchanged.
TEST(DriveMapParse, BlanksAroundFoldersAndLabelsAreDroppedSoTheTextReadsBackTheSame) {
  for (const char* text : {"D=/data ", "D=/data =Data", "D= /data\t= Data ,E=/e", "D=/data =",
                           "D=/my data/=My Data"}) {
    SCOPED_TRACE(text);
    const auto map = DriveMap::Parse(text);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->Find('D')->root.back(), 'a');
    const auto again = DriveMap::Parse(map->ToString());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Find('D')->root, map->Find('D')->root);
    EXPECT_EQ(again->Find('D')->label, map->Find('D')->label);
  }
  EXPECT_EQ(DriveMap::Parse("D= /data\t= Data ,E=/e")->ToString(), "D=/data=Data,E=/e");
  // A folder whose own name ends in a blank cannot be written so that it reads back.
  std::string error;
  EXPECT_FALSE(DriveMap::Parse("D=/data /", &error));
  EXPECT_NE(error.find("blank"), std::string::npos) << error;
}

TEST(DriveMapOwner, LongestRootOnAComponentBoundaryWins) {
  const auto map = DriveMap::Parse("C=/srv/c,D=/,E=/srv/ce,F=/srv/c/inner");
  ASSERT_TRUE(map);
  EXPECT_EQ(map->Owner("/srv/c/a.txt")->letter, 'C');
  EXPECT_EQ(map->Owner("/srv/c")->letter, 'C');
  EXPECT_EQ(map->Owner("/srv/ce/a")->letter, 'E');   // not C: "/srv/c" is no prefix of "/srv/ce"
  EXPECT_EQ(map->Owner("/srv/c/inner/x")->letter, 'F');
  EXPECT_EQ(map->Owner("/etc/passwd")->letter, 'D');
  EXPECT_EQ(DriveMap::Parse("C=/srv")->Owner("/etc"), nullptr);
}

TEST(DriveMapFromMountTable, StateDirFirstThenRealMountsRootFirst) {
  testing_support::TempDrives drives("C");
  const std::string mounts = drives.Dir() + "/mounts";
  std::ofstream(mounts)
      << "proc /proc proc rw,relatime 0 0\n"
         "sysfs /sys sysfs rw 0 0\n"
         "devtmpfs /dev devtmpfs rw 0 0\n"
         "tmpfs /dev/shm tmpfs rw 0 0\n"
         "tmpfs /run tmpfs rw 0 0\n"
         "tmpfs /run/user/1000 tmpfs rw 0 0\n"
         "/dev/sda2 /home ext4 rw 0 0\n"
         "/dev/sda1 / ext4 rw 0 0\n"
         "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
         "tmpfs /tmp tmpfs rw 0 0\n"
         "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
         "/dev/sda2 /home ext4 rw 0 0\n"
         "//server/share /mnt/share cifs rw 0 0\n";
  const DriveMap map = DriveMap::FromMountTable("/var/state/norvex", mounts);
  EXPECT_EQ(map.ToString(),
            "C=/var/state/norvex,D=/,E=/home,F=/tmp,G=/media/usb stick,H=/mnt/share");
  EXPECT_EQ(map.Find('A'), nullptr);
  EXPECT_EQ(map.Find('B'), nullptr);
}

TEST(DriveMapFromMountTable, LettersStopAtZ) {
  testing_support::TempDrives drives("C");
  const std::string mounts = drives.Dir() + "/mounts";
  {
    std::ofstream out(mounts);
    for (int i = 0; i < 40; ++i) out << "/dev/x" << i << " /m" << i << " ext4 rw 0 0\n";
  }
  const auto all = DriveMap::FromMountTable("/s", mounts).All();
  ASSERT_EQ(all.size(), 24u);  // C: and D: .. Z:
  EXPECT_EQ(all.back().letter, 'Z');
  EXPECT_EQ(all.back().root, "/m22");
}

}  // namespace
}  // namespace platform
