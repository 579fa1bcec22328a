#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/host_system.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

using testing_support::TempDrives;

std::map<std::string, FindData> ListAll(System& system, std::string_view folder) {
  std::map<std::string, FindData> entries;
  EXPECT_TRUE(system.ListDirectory(folder, [&](const FindData& data) {
    EXPECT_TRUE(entries.emplace(data.name, data).second) << "listed twice: " << data.name;
    return true;
  }));
  return entries;
}

bool UserXattrsWork(const std::string& hostPath) {
  return ::setxattr(hostPath.c_str(), "user.norvex-probe", "1", 1, 0) == 0;
}

TEST(HostListing, ListsInHostOrderWithSizesAndSkipsDotsAndBackslashNames) {
  TempDrives drives;
  drives.WriteFile("D:\\Work\\a.txt", "hello");
  drives.WriteFileOfSize("D:\\Work\\big.bin", 3 * 1024 * 1024 + 7);
  drives.WriteFile("D:\\Work\\.dotfile", "x");
  drives.MakeDirectory("D:\\Work\\Sub");
  drives.MakeDirectory("D:\\Work\\.git");
  drives.WriteFile("D:\\Work\\Sub\\inner.txt", "123");
  const std::string odd = drives.Host("D:\\Work") + "/odd\\name";
  drives.WriteFile("D:\\Work\\placeholder", "");
  ASSERT_EQ(::rename(drives.Host("D:\\Work\\placeholder").c_str(), odd.c_str()), 0);

  std::vector<std::string> hostOrder;
  DIR* dir = ::opendir(drives.Host("D:\\Work").c_str());
  ASSERT_NE(dir, nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != ".." && name.find('\\') == std::string::npos) hostOrder.push_back(name);
  }
  ::closedir(dir);

  std::vector<FindData> listed;
  ASSERT_TRUE(drives.System().ListDirectory("D:\\Work", [&](const FindData& data) {
    listed.push_back(data);
    return true;
  }));
  std::vector<std::string> names;
  for (const FindData& data : listed) names.push_back(data.name);
  EXPECT_EQ(names, hostOrder);  // the host's order, "." and ".." and "odd\name" left out

  const auto entries = ListAll(drives.System(), "D:\\Work\\");
  EXPECT_EQ(entries.at("a.txt").size, 5u);
  EXPECT_EQ(entries.at("a.txt").compressedSize, 5u);
  EXPECT_FALSE(entries.at("a.txt").IsDirectory());
  EXPECT_EQ(entries.at("big.bin").size, 3u * 1024 * 1024 + 7);
  EXPECT_TRUE(entries.at("Sub").IsDirectory());
  EXPECT_TRUE(entries.at(".git").IsDirectory());
  EXPECT_EQ(entries.at("Sub").size, 0u);
}

TEST(HostListing, StopsWhenTheVisitorSaysSoAndFailsOnMissingFolders) {
  TempDrives drives;
  for (int i = 0; i < 10; ++i) drives.WriteFile("C:\\F\\" + std::to_string(i), "x");
  int seen = 0;
  EXPECT_TRUE(drives.System().ListDirectory("C:\\F", [&](const FindData&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
  EXPECT_FALSE(drives.System().ListDirectory("C:\\Missing", [](const FindData&) { return true; }));
  EXPECT_FALSE(drives.System().ListDirectory("C:\\F\\0", [](const FindData&) { return true; }));
  EXPECT_FALSE(drives.System().ListDirectory("Q:\\", [](const FindData&) { return true; }));
  EXPECT_FALSE(drives.System().ListDirectory("C:\\F\\..", [](const FindData&) { return true; }));
}

TEST(HostListing, SparseFilesReportTheBytesReallyUsed) {
  TempDrives drives;
  drives.WriteFile("C:\\sparse", "");
  ASSERT_EQ(::truncate(drives.Host("C:\\sparse").c_str(), 64 * 1024 * 1024), 0);
  const auto entries = ListAll(drives.System(), "C:\\");
  EXPECT_EQ(entries.at("sparse").size, 64u * 1024 * 1024);
  EXPECT_LT(entries.at("sparse").compressedSize, 1024u * 1024);
  EXPECT_EQ(drives.System().GetCompressedFileSize("C:\\sparse"), entries.at("sparse").compressedSize);
}

TEST(HostListing, SymbolicLinksAreFilesAndNeverFollowed) {
  TempDrives drives;
  drives.WriteFileOfSize("D:\\target.bin", 100000);
  drives.MakeDirectory("D:\\RealDir");
  drives.WriteFile("D:\\RealDir\\x", "x");
  ASSERT_EQ(::symlink(drives.Host("D:\\target.bin").c_str(), drives.Host("C:\\file-link").c_str()), 0);
  ASSERT_EQ(::symlink(drives.Host("D:\\RealDir").c_str(), drives.Host("C:\\dir-link").c_str()), 0);
  ASSERT_EQ(::symlink("/nowhere/at/all", drives.Host("C:\\dangling").c_str()), 0);

  const auto entries = ListAll(drives.System(), "C:\\");
  ASSERT_EQ(entries.count("file-link"), 1u);
  EXPECT_FALSE(entries.at("file-link").IsDirectory());
  EXPECT_LT(entries.at("file-link").size, 1000u);  // the link's own size, not the target's
  EXPECT_FALSE(entries.at("dir-link").IsDirectory());
  EXPECT_EQ(entries.count("dangling"), 1u);
  // A link to a folder is not a folder: it cannot be listed through.
  EXPECT_FALSE(drives.System().ListDirectory("C:\\dir-link", [](const FindData&) { return true; }));
  EXPECT_FALSE(drives.System().GetFileAttributes("C:\\dir-link") & kAttrDirectory);
}

TEST(HostListing, AFolderListedThroughItsOpenParentFollowsTheSameRules) {
  TempDrives drives;
  drives.WriteFile("D:\\Top\\Sub\\a.txt", "a");
  drives.WriteFile("D:\\Top\\b.txt", "b");
  ASSERT_EQ(::symlink(drives.Host("D:\\Top\\Sub").c_str(), drives.Host("D:\\Top\\link").c_str()), 0);
  const System& system = drives.System();
  std::vector<std::string> names;
  const auto collect = [&](const FindData& data) {
    names.push_back(data.name);
    return true;
  };
  std::unique_ptr<OpenFolder> top;
  ASSERT_TRUE(system.ListDirectoryIn(nullptr, {}, "D:\\Top\\", collect, &top));
  ASSERT_NE(top, nullptr);
  names.clear();
  EXPECT_TRUE(system.ListDirectoryIn(top.get(), "Sub", "D:\\Top\\Sub\\", collect, nullptr));
  EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
  // Neither a link to a folder nor a step up leads anywhere from the open folder.
  EXPECT_FALSE(system.ListDirectoryIn(top.get(), "link", "D:\\Top\\link\\", collect, nullptr));
  EXPECT_FALSE(system.ListDirectoryIn(top.get(), "..", "D:\\Top\\..\\", collect, nullptr));
}

TEST(HostListing, ADriveMayBeMappedOntoALinkToAFolder) {
  TempDrives drives;
  drives.WriteFile("D:\\Real\\inside.txt", "x");
  const std::string link = drives.Dir() + "/link-root";
  ASSERT_EQ(::symlink(drives.Host("D:\\Real").c_str(), link.c_str()), 0);
  Environment environment = drives.Environment();
  environment.drives.Set('F', link);
  HostSystem system(environment);
  const auto entries = ListAll(system, "F:\\");
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.count("inside.txt"), 1u);
}

TEST(HostListing, AMountPointIsAnEmptyFolder) {
  TempDrives drives;
  drives.MakeDirectory("D:\\Mounted");
  drives.WriteFile("D:\\plain.txt", "x");
  const std::string mountPoint = drives.Host("D:\\Mounted");
  if (::mount("norvex-test", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                 << "); mount points are tested as root only";
  }
  drives.WriteFile("D:\\Mounted\\hidden-by-mount.txt", "data");
  const auto entries = ListAll(drives.System(), "D:\\");
  const bool isDirectory = entries.count("Mounted") == 1 && entries.at("Mounted").IsDirectory();
  const auto inside = ListAll(drives.System(), "D:\\Mounted");
  std::unique_ptr<OpenFolder> root;
  std::size_t throughRoot = 0;
  const bool listedThroughRoot =
      drives.System().ListDirectoryIn(nullptr, {}, "D:\\", [](const FindData&) { return true; }, &root) &&
      drives.System().ListDirectoryIn(root.get(), "Mounted", "D:\\Mounted\\", [&](const FindData&) {
        ++throughRoot;
        return true;
      }, nullptr);
  ::umount2(mountPoint.c_str(), MNT_DETACH);
  EXPECT_TRUE(listedThroughRoot);
  EXPECT_EQ(throughRoot, 0u) << "entries listed across the mount point through its open parent";
  EXPECT_TRUE(isDirectory);
  EXPECT_TRUE(inside.empty()) << inside.size() << " entries listed across the mount point";
}

TEST(HostAttributes, HiddenSystemArchiveOfflineRoundTripThroughTheExtendedAttribute) {
  TempDrives drives;
  drives.WriteFile("C:\\DriveTbl.NVX", "x");
  if (!UserXattrsWork(drives.Host("C:\\DriveTbl.NVX"))) {
    GTEST_SKIP() << "the temporary folder's filesystem keeps no user extended attributes";
  }
  System& system = drives.System();
  EXPECT_EQ(system.GetFileAttributes("C:\\DriveTbl.NVX"), kAttrNormal);
  ASSERT_TRUE(system.SetFileAttributes("C:\\DriveTbl.NVX", 0x26 | kAttrCompressed | kAttrReadOnly));
  EXPECT_EQ(system.GetFileAttributes("C:\\DriveTbl.NVX"), 0x26u);  // only the kept bits
  char value[64] = {};
  ASSERT_GT(::getxattr(drives.Host("C:\\DriveTbl.NVX").c_str(), "user.DOSATTRIB", value, sizeof value), 0);
  EXPECT_STREQ(value, "0x26");
  // A listing leaves the stored bits out but for empty files: the scan needs them only to
  // tell a back-up stub, and an extended-attribute read per file costs a third of its time.
  drives.WriteFile("C:\\stub", "");
  ASSERT_TRUE(system.SetFileAttributes("C:\\stub", kAttrArchive | kAttrOffline));
  const auto listed = ListAll(system, "C:\\");
  EXPECT_EQ(listed.at("DriveTbl.NVX").attributes, kAttrNormal);
  EXPECT_EQ(listed.at("stub").attributes, kAttrArchive | kAttrOffline);

  // A value written by a file server (hex text followed by a binary record) reads too.
  const char serverValue[] = "0x22\0\3\0\3\0\0\0";
  ASSERT_EQ(::setxattr(drives.Host("C:\\DriveTbl.NVX").c_str(), "user.DOSATTRIB", serverValue,
                       sizeof serverValue, 0), 0);
  EXPECT_EQ(system.GetFileAttributes("C:\\DriveTbl.NVX"), 0x22u);

  ASSERT_TRUE(system.SetFileAttributes("C:\\DriveTbl.NVX", 0));
  EXPECT_EQ(system.GetFileAttributes("C:\\DriveTbl.NVX"), kAttrNormal);
  EXPECT_EQ(system.GetFileAttributes("C:\\"), kAttrDirectory);
  EXPECT_EQ(system.GetFileAttributes("C:\\missing"), kInvalidAttributes);
  EXPECT_FALSE(system.SetFileAttributes("C:\\missing", 0x26));
  EXPECT_EQ(system.GetCompressedFileSize("C:\\missing"), kInvalidFileSize);
}

TEST(HostAttributes, ExtFourCompressionFlagIsNotACompressedFile) {
  TempDrives drives;
  drives.WriteFileOfSize("C:\\flagged", 65536);
  // chattr +c: ext4 keeps the flag and reports it, but never compresses anything.
  const std::string command = "chattr +c '" + drives.Host("C:\\flagged") + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "chattr +c not accepted here";
  EXPECT_FALSE(drives.System().GetFileAttributes("C:\\flagged") & kAttrCompressed);
  EXPECT_EQ(drives.System().GetCompressedFileSize("C:\\flagged"), 65536u);
  EXPECT_FALSE(ListAll(drives.System(), "C:\\").at("flagged").attributes & kAttrCompressed);
}

}  // namespace
}  // namespace platform
