#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/host_system.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

using testing_support::TempDrives;

std::string ReadAll(File& file) {
  std::string content(1 << 16, '\0');
  const std::int64_t count = file.Read(content.data(), content.size());
  EXPECT_GE(count, 0);
  content.resize(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
  return content;
}

struct stat StatOf(const std::string& hostPath) {
  struct stat info {};
  EXPECT_EQ(::stat(hostPath.c_str(), &info), 0) << hostPath;
  return info;
}

TEST(HostOpenFile, ModesCreateKeepOrTruncate) {
  TempDrives drives;
  System& system = drives.System();
  EXPECT_EQ(system.OpenFile("C:\\missing", {OpenMode::OpenExisting, true, false}), nullptr);
  EXPECT_FALSE(drives.Exists("C:\\missing"));

  {
    auto file = system.OpenFile("C:\\DriveTbl.NVX", {OpenMode::OpenAlways, true, false});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 0u);
    ASSERT_TRUE(file->Write("0123456789", 10));
    ASSERT_TRUE(file->Flush());
    EXPECT_TRUE(file->Close());
  }
  {
    // Opening again never truncates; reads start at the beginning.
    auto file = system.OpenFile("C:\\DriveTbl.NVX", {OpenMode::OpenAlways, true, false});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 10u);
    EXPECT_EQ(ReadAll(*file), "0123456789");
    ASSERT_TRUE(file->Seek(2));
    ASSERT_TRUE(file->Write("ab", 2));
    ASSERT_TRUE(file->Truncate(6));
  }
  EXPECT_EQ(drives.ReadFile("C:\\DriveTbl.NVX"), "01ab45");
  {
    auto file = system.OpenFile("C:\\DriveTbl.NVX", {OpenMode::OpenExisting, false, false});
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->Write("x", 1));  // opened for reading only
  }
  {
    auto file = system.OpenFile("C:\\DriveTbl.NVX", {OpenMode::CreateAlways, true, false});
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 0u);
  }
  EXPECT_EQ(drives.ReadFile("C:\\DriveTbl.NVX"), "");
}

TEST(HostOpenFile, RefusesFoldersPipesAndLinksWhenAskedNotToFollow) {
  TempDrives drives;
  System& system = drives.System();
  drives.MakeDirectory("C:\\Folder");
  EXPECT_EQ(system.OpenFile("C:\\Folder", {OpenMode::OpenExisting, false, false}), nullptr);
  ASSERT_EQ(::mkfifo(drives.Host("C:\\pipe").c_str(), 0644), 0);
  // Would block forever without a writer if it were opened like a file.
  EXPECT_EQ(system.OpenFile("C:\\pipe", {OpenMode::OpenExisting, false, false}), nullptr);

  drives.WriteFile("D:\\elsewhere.txt", "precious");
  ASSERT_EQ(::symlink(drives.Host("D:\\elsewhere.txt").c_str(), drives.Host("C:\\TestFile.NVX").c_str()), 0);
  EXPECT_EQ(system.OpenFile("C:\\TestFile.NVX", {OpenMode::CreateAlways, true, true}), nullptr);
  EXPECT_EQ(system.OpenFile("C:\\TestFile.NVX", {OpenMode::OpenAlways, true, true}), nullptr);
  EXPECT_EQ(drives.ReadFile("D:\\elsewhere.txt"), "precious");
  // Following is the caller's explicit choice.
  EXPECT_NE(system.OpenFile("C:\\TestFile.NVX", {OpenMode::OpenExisting, false, false}), nullptr);
  EXPECT_EQ(system.OpenFile("C:\\..\\x", {OpenMode::OpenAlways, true, false}), nullptr);
}

TEST(HostCopyFile, CopiesDataModeTimesAndDosBits) {
  TempDrives drives;
  System& system = drives.System();
  drives.WriteFileOfSize("C:\\Work\\data.bin", 5 * 1024 * 1024 + 3, 'q', true);
  const std::string source = drives.Host("C:\\Work\\data.bin");
  ASSERT_EQ(::chmod(source.c_str(), 0640), 0);
  const struct timespec times[2] = {{1000000000, 0}, {1100000000, 500}};
  ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
  const bool xattrs = system.SetFileAttributes("C:\\Work\\data.bin", 0x26) &&
                      system.GetFileAttributes("C:\\Work\\data.bin") == 0x26;

  drives.MakeDirectory("E:\\Work");
  ASSERT_TRUE(system.CopyFile("C:\\Work\\data.bin", "E:\\Work\\data.bin", true));
  EXPECT_EQ(drives.ReadFile("E:\\Work\\data.bin"), drives.ReadFile("C:\\Work\\data.bin"));
  const struct stat copy = StatOf(drives.Host("E:\\Work\\data.bin"));
  EXPECT_EQ(copy.st_mode & 07777, 0640u);
  EXPECT_EQ(copy.st_mtim.tv_sec, 1100000000);
  EXPECT_EQ(copy.st_mtim.tv_nsec, 500);
  EXPECT_NE(copy.st_ino, StatOf(source).st_ino);
  if (xattrs) {
    EXPECT_EQ(system.GetFileAttributes("E:\\Work\\data.bin"), 0x26u);
  }
  // No temporary file is left beside the target.
  int entries = 0;
  system.ListDirectory("E:\\Work", [&](const FindData&) { return ++entries, true; });
  EXPECT_EQ(entries, 1);
}

TEST(HostCopyFile, RefusesSelfCopiesExistingTargetsAndMissingFolders) {
  TempDrives drives;
  System& system = drives.System();
  drives.WriteFile("C:\\a.txt", "original");
  drives.WriteFile("D:\\b.txt", "other");
  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "C:\\a.txt", false));
  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "c:\\\\A.TXT\\..\\a.txt", false));
  // The same file under another name is still the same file.
  ASSERT_EQ(::link(drives.Host("C:\\a.txt").c_str(), drives.Host("C:\\hard.txt").c_str()), 0);
  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "C:\\hard.txt", false));
  EXPECT_EQ(drives.ReadFile("C:\\a.txt"), "original");

  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "D:\\b.txt", true));
  EXPECT_EQ(drives.ReadFile("D:\\b.txt"), "other");
  ASSERT_TRUE(system.CopyFile("C:\\a.txt", "D:\\b.txt", false));
  EXPECT_EQ(drives.ReadFile("D:\\b.txt"), "original");

  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "D:\\NoSuchFolder\\a.txt", false));
  EXPECT_FALSE(system.CopyFile("C:\\missing", "D:\\x", false));
  EXPECT_FALSE(drives.Exists("D:\\x"));
  drives.MakeDirectory("D:\\Folder");
  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "D:\\Folder", false));
}

TEST(HostCopyFile, AFailedCopyLeavesTheTargetIntact) {
  TempDrives drives;
  drives.WriteFileOfSize("C:\\big.bin", 2 * 1024 * 1024, 'n');
  // A drive too small for the copy: the disk fills up halfway through the data.
  const std::string root = drives.Root('D');
  if (::mount("norvex-test", root.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                 << "); the full-disk copy is tested as root only";
  }
  drives.WriteFile("D:\\big.bin", "previous backup");
  const bool copied = drives.System().CopyFile("C:\\big.bin", "D:\\big.bin", false);
  const std::string after = drives.ReadFile("D:\\big.bin");
  int entries = 0;
  drives.System().ListDirectory("D:\\", [&](const FindData&) { return ++entries, true; });
  ::umount2(root.c_str(), MNT_DETACH);
  EXPECT_FALSE(copied);
  EXPECT_EQ(after, "previous backup");
  EXPECT_EQ(entries, 1) << "the partial temporary copy was left behind";
}

TEST(HostFileOperations, MoveDeleteCreateAndExists) {
  TempDrives drives;
  System& system = drives.System();
  drives.WriteFile("C:\\FileTblD.NVX", "new");
  drives.WriteFile("C:\\Old.NVX", "old");
  EXPECT_TRUE(system.MoveFile("C:\\FileTblD.NVX", "C:\\Old.NVX"));  // replaces the target
  EXPECT_EQ(drives.ReadFile("C:\\Old.NVX"), "new");
  EXPECT_FALSE(system.FileExists("C:\\FileTblD.NVX"));
  EXPECT_FALSE(system.MoveFile("C:\\Old.NVX", "D:\\Old.NVX"));  // another drive
  EXPECT_TRUE(system.FileExists("C:\\Old.NVX"));

  EXPECT_TRUE(system.CreateDirectory("C:\\Dir"));
  EXPECT_FALSE(system.CreateDirectory("C:\\Dir"));
  EXPECT_FALSE(system.CreateDirectory("C:\\No\\Parent"));
  EXPECT_TRUE(system.FileExists("C:\\Dir"));
  EXPECT_FALSE(system.DeleteFile("C:\\Dir"));  // folders are not files
  EXPECT_TRUE(system.DeleteFile("C:\\Old.NVX"));
  EXPECT_FALSE(system.DeleteFile("C:\\Old.NVX"));
  EXPECT_FALSE(system.FileExists("C:\\Old.NVX"));
  EXPECT_FALSE(system.FileExists("Q:\\x"));

  drives.WriteFileOfSize("C:\\sized", 123457);
  EXPECT_EQ(system.GetFileSize("C:\\sized"), 123457u);
  EXPECT_EQ(system.GetFileSize("C:\\Dir"), std::nullopt);
  EXPECT_EQ(system.GetFileSize("C:\\nothing"), std::nullopt);
}

TEST(HostFileOperations, NothingIsChangedThroughALinkedFolderInsideADrive) {
  // E:\Work is a link to a folder off the drives: every call that changes files refuses
  // to reach through it, while a real folder beside it works.
  TempDrives drives("CDE");
  System& system = drives.System();
  const std::string outside = drives.Host("D:\\Outside");
  drives.MakeDirectory("D:\\Outside");
  drives.WriteFile("D:\\Outside\\victim.txt", "keep me");
  ASSERT_EQ(::symlink(outside.c_str(), drives.Host("E:\\Work").c_str()), 0);
  drives.WriteFile("C:\\a.txt", "backup data");

  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "E:\\Work\\a.txt", true));
  EXPECT_FALSE(system.CopyFile("C:\\a.txt", "E:\\Work\\victim.txt", false));
  EXPECT_FALSE(system.CopyFile("E:\\Work\\victim.txt", "C:\\b.txt", true));
  EXPECT_FALSE(system.CreateDirectory("E:\\Work\\New"));
  EXPECT_FALSE(system.DeleteFile("E:\\Work\\victim.txt"));
  EXPECT_FALSE(system.MoveFile("E:\\Work\\victim.txt", "E:\\moved.txt"));
  EXPECT_EQ(system.OpenFile("E:\\Work\\victim.txt", {OpenMode::OpenExisting, true, false}), nullptr);
  EXPECT_FALSE(system.SetFileAttributes("E:\\Work\\victim.txt", 0x20));
  EXPECT_EQ(errno, ELOOP);

  EXPECT_EQ(drives.ReadFile("D:\\Outside\\victim.txt"), "keep me");
  EXPECT_FALSE(drives.Exists("D:\\Outside\\a.txt"));
  EXPECT_FALSE(drives.Exists("D:\\Outside\\New"));
  EXPECT_FALSE(drives.Exists("C:\\b.txt"));
  // Reading facts through it is harmless and still answers; a real folder takes changes.
  EXPECT_TRUE(system.FileExists("E:\\Work\\victim.txt"));
  EXPECT_TRUE(system.CreateDirectory("E:\\Real"));
  EXPECT_TRUE(system.CopyFile("C:\\a.txt", "E:\\Real\\a.txt", true));
}

TEST(HostVolumes, DiskSpaceDriveTypeAndUnmappedLetters) {
  TempDrives drives;
  System& system = drives.System();
  const auto space = system.GetDiskFreeSpace('C');
  ASSERT_TRUE(space);
  EXPECT_EQ(space->bytesPerSector, 512u);
  EXPECT_GT(space->sectorsPerCluster, 0u);
  EXPECT_GT(space->totalClusters, 0u);
  EXPECT_LE(space->freeClusters, space->totalClusters);
  EXPECT_FALSE(system.GetDiskFreeSpace('Q'));

  EXPECT_EQ(system.GetDriveType('Q'), DriveType::NoRootDir);
  EXPECT_NE(system.GetDriveType('C'), DriveType::NoRootDir);
  EXPECT_FALSE(system.GetVolumeInformation('Q'));
  const auto volume = system.GetVolumeInformation('C');
  ASSERT_TRUE(volume);
  EXPECT_FALSE(volume->label.empty());
  EXPECT_FALSE(volume->fileSystemName.empty());
  EXPECT_EQ((volume->fileSystemFlags & kFsFileCompression) != 0, volume->fileSystemName == "btrfs");
  EXPECT_FALSE(system.GetNetworkConnection('C'));
}

}  // namespace
}  // namespace platform
