#include "platform/drive_map.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "platform/default_drives.h"
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

// mountinfo lines: id, parent, device, root, mount point, options, "-", type, source.
std::string Mount(int id, std::string_view device, std::string_view root, std::string_view target,
                  std::string_view type, std::string_view source, std::string_view options = "rw,relatime") {
  return std::to_string(id) + " 1 " + std::string(device) + " " + std::string(root) + " " + std::string(target) +
         " " + std::string(options) + " shared:1 - " + std::string(type) + " " + std::string(source) + " rw\n";
}

// Disks named /dev/sd* have the UUID "U-<name>"; the rest have none.
std::optional<std::string> TestUuid(const MountInfoEntry& mount) {
  if (!mount.source.starts_with("/dev/sd")) return std::nullopt;
  return "uuid:U-" + mount.source.substr(5);
}

std::string ReasonFor(const DefaultDrives& drives, std::string_view target) {
  for (const LeftOutMount& left : drives.leftOut) {
    if (left.mount.target == target) return left.reason;
  }
  return "kept";
}

// What a machine holds besides its disks: the firmware's partition, package images,
// container layers, a bind mount and memory filesystems. Only the disks and the network
// share are drives, each once, and every other mount says why it is none.
TEST(DefaultDrives, EachWritableDiskOrNetworkFilesystemOnceTheRestWithTheirReasons) {
  std::string mounts = Mount(20, "0:21", "/", "/proc", "proc", "proc") +
                       Mount(21, "8:2", "/", "/", "ext4", "/dev/sda2") +
                       Mount(22, "8:1", "/", "/boot/efi", "vfat", "/dev/sda1") +
                       Mount(23, "7:0", "/", "/snap/core22/1380", "squashfs", "/dev/loop0", "ro,nodev") +
                       Mount(24, "0:40", "/", "/var/lib/docker/overlay2/a1/merged", "overlay", "overlay") +
                       Mount(25, "0:41", "/", "/mnt/layer", "overlay", "overlay") +
                       Mount(26, "8:2", "/srv/photos", "/srv/www", "ext4", "/dev/sda2") +
                       Mount(27, "8:1", "/EFI", "/mnt/efi", "vfat", "/dev/sda1") +
                       Mount(28, "0:30", "/", "/tmp", "tmpfs", "tmpfs") +
                       Mount(29, "8:17", "/", "/media/backup", "ext4", "/dev/sdb1") +
                       Mount(30, "8:33", "/", "/mnt/ro", "ext4", "/dev/sdc1", "ro,relatime") +
                       Mount(31, "0:50", "/", "/mnt/share", "nfs4", "server:/export");
  const DefaultDrives drives = BuildDefaultDrives("/state", mounts, TestUuid, "");
  EXPECT_EQ(drives.map.ToString(), "C=/state,D=/,E=/media/backup,F=/mnt/share");
  EXPECT_NE(ReasonFor(drives, "/boot/efi").find("firmware"), std::string::npos);
  EXPECT_NE(ReasonFor(drives, "/mnt/efi").find("same filesystem as boot files"), std::string::npos);
  EXPECT_NE(ReasonFor(drives, "/snap/core22/1380").find("package"), std::string::npos);
  EXPECT_NE(ReasonFor(drives, "/var/lib/docker/overlay2/a1/merged").find("container"), std::string::npos);
  EXPECT_NE(ReasonFor(drives, "/mnt/layer").find("overlay"), std::string::npos);
  EXPECT_EQ(ReasonFor(drives, "/srv/www"), "same filesystem as / (a bind mount or a second mount)");
  EXPECT_NE(ReasonFor(drives, "/tmp").find("neither on a disk"), std::string::npos);
  EXPECT_EQ(ReasonFor(drives, "/mnt/ro"), "mounted read-only");
  EXPECT_EQ(drives.leftOut.size(), 9u);
  ASSERT_EQ(drives.drives.size(), 3u);
  EXPECT_EQ(drives.drives[0].identity, "uuid:U-sda2");
  EXPECT_EQ(drives.drives[2].identity, "net:nfs4:server:/export");

  // Only a bind mount shows the filesystem: it stands for it. Twenty container layers
  // take no letter from the disk mounted after them.
  std::string bindOnly = Mount(21, "8:2", "/", "/", "ext4", "/dev/sda2") +
                         Mount(22, "8:17", "/data", "/srv/data", "ext4", "/dev/sdb1");
  for (int i = 0; i < 20; ++i) bindOnly += Mount(40 + i, "0:6" + std::to_string(i), "/", "/mnt/o" + std::to_string(i), "overlay", "overlay");
  bindOnly += Mount(70, "8:33", "/", "/media/usb", "ext4", "/dev/sdc1");
  EXPECT_EQ(BuildDefaultDrives("/state", bindOnly, TestUuid, "").map.ToString(),
            "C=/state,D=/,E=/srv/data,F=/media/usb");
}

// Mount order changes between runs; the recorder and the program must keep counting a
// disk's accesses under one letter, or its counts land on another disk.
TEST(DefaultDrives, LettersStayWithTheirFilesystemWhileOthersComeAndGo) {
  const std::string root = Mount(21, "8:2", "/", "/", "ext4", "/dev/sda2");
  const std::string a = Mount(22, "8:17", "/", "/media/a", "ext4", "/dev/sdb1");
  const std::string b = Mount(23, "8:33", "/", "/media/b", "ext4", "/dev/sdc1");
  const std::string c = Mount(24, "8:49", "/", "/media/c", "ext4", "/dev/sdd1");
  const DefaultDrives first = BuildDefaultDrives("/state", a + root + b + c, TestUuid, "");
  ASSERT_TRUE(first.lettersToSave);
  EXPECT_EQ(first.map.ToString(), "C=/state,D=/,E=/media/a,F=/media/b,G=/media/c");

  // b unmounted, a new disk mounted: b keeps F:, marked absent; the newcomer takes H:.
  const std::string newcomer = Mount(25, "8:65", "/", "/media/new", "ext4", "/dev/sde1");
  const DefaultDrives second = BuildDefaultDrives("/state", root + newcomer + a + c, TestUuid, *first.lettersToSave);
  EXPECT_EQ(second.map.ToString(), "C=/state,D=/,E=/media/a,G=/media/c,H=/media/new");
  ASSERT_EQ(second.drives.size(), 5u);
  EXPECT_EQ(second.drives[2].letter, 'F');
  EXPECT_FALSE(second.drives[2].present);
  EXPECT_EQ(second.drives[2].root, "/media/b");

  // b back, on another folder and under another device number: F: again.
  const std::string bAgain = Mount(26, "8:81", "/", "/mnt/b", "ext4", "/dev/sdc1");
  const DefaultDrives third = BuildDefaultDrives("/state", bAgain + root + a + c + newcomer, TestUuid,
                                                 *second.lettersToSave);
  EXPECT_EQ(third.map.ToString(), "C=/state,D=/,E=/media/a,F=/mnt/b,G=/media/c,H=/media/new");
  const DefaultDrives same = BuildDefaultDrives("/state", bAgain + root + a + c + newcomer, TestUuid,
                                                *third.lettersToSave);
  EXPECT_FALSE(same.lettersToSave) << "nothing changed: nothing to write";
}

// A damaged letters file is neither trusted nor overwritten: the user can repair it.
TEST(DefaultDrives, DamagedKeptLettersAreReportedAndLeftAlone) {
  const std::string mounts = Mount(21, "8:2", "/", "/", "ext4", "/dev/sda2");
  for (const char* bad : {"D\tuuid:U-sda2\n", "C\tuuid:x\t/\n", "D\tuuid:x\t/\nD\tuuid:y\t/m\n", "D\tuuid:\\09\t/\n"}) {
    SCOPED_TRACE(bad);
    const DefaultDrives drives = BuildDefaultDrives("/state", mounts, TestUuid, bad);
    EXPECT_NE(drives.problem.find("cannot be read"), std::string::npos) << drives.problem;
    EXPECT_FALSE(drives.lettersToSave);
    EXPECT_EQ(drives.map.ToString(), "C=/state,D=/");
    // This run's D: may be another disk than the one its records were kept for.
    EXPECT_NE(drives.changes['D' - 'A'].find("cannot be read"), std::string::npos);
  }
  // Blanks, tabs and backslashes in a folder's name survive the file.
  const std::vector<LetterAssignment> odd{{'E', "dev:0:9:/dev/x", "/media/a\tb \\c\nd"}};
  const SavedLetters read = ParseDriveLetters(FormatDriveLetters(odd));
  ASSERT_EQ(read.damage, "");
  ASSERT_EQ(read.letters.size(), 1u);
  EXPECT_EQ(read.letters[0].lastRoot, odd[0].lastRoot);
}

// The program and the recorder read the letters the first of them wrote.
TEST(DefaultDrives, KeptInTheStateFolderAndReadBack) {
  testing_support::TempDrives drives("C");
  const std::string mountInfo = drives.Dir() + "/mountinfo";
  std::ofstream(mountInfo) << Mount(21, "8:2", "/", "/", "ext4", "/dev/nodisk-a") +
                                  Mount(22, "8:17", "/", "/media/a", "ext4", "/dev/nodisk-b");
  const DefaultDrives first = ReadDefaultDrives(drives.Root('C'), mountInfo);
  EXPECT_EQ(first.problem, "");
  std::ofstream(mountInfo) << Mount(22, "8:17", "/", "/media/a", "ext4", "/dev/nodisk-b");
  const DefaultDrives second = ReadDefaultDrives(drives.Root('C'), mountInfo);
  EXPECT_EQ(second.map.ToString(), "C=" + drives.Root('C') + ",E=/media/a");
}

}  // namespace
}  // namespace platform
