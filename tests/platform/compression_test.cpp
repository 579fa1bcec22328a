#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "platform/btrfs_compression.h"
#include "platform/btrfs_extents.h"
#include "platform/host_system.h"
#include "platform/unique_fd.h"
#include "support/image_drive.h"
#include "support/temp_drives.h"

namespace platform {
namespace {

using testing_support::TempDrives;

int FlagsOf(const std::string& hostPath) {
  const UniqueFd fd(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
  int flags = 0;
  EXPECT_EQ(::ioctl(fd.Get(), FS_IOC_GETFLAGS, &flags), 0);
  return flags;
}

std::string CompressibleText(std::size_t size) {
  std::string text;
  text.reserve(size);
  for (std::size_t line = 0; text.size() < size; ++line) {
    text += "line " + std::to_string(line % 1000) + " of a rather repetitive report\n";
  }
  text.resize(size);
  return text;
}

TEST(Compression, RefusedWhereTheFilesystemDoesNotCompress) {
  TempDrives drives;  // the temporary folder's filesystem (ext4 here)
  drives.WriteFile("C:\\report.txt", CompressibleText(200000));
  const std::string host = drives.Host("C:\\report.txt");
  const int before = FlagsOf(host);
  EXPECT_FALSE(drives.System().SetCompression("C:\\report.txt", true));
  EXPECT_EQ(FlagsOf(host), before) << "the compression flag was set on a filesystem that ignores it";
  EXPECT_FALSE(drives.System().SetCompression("C:\\report.txt", false));
  EXPECT_FALSE(drives.System().SetCompression("C:\\", true));
  EXPECT_FALSE(drives.System().SetCompression("C:\\missing.txt", true));
  EXPECT_EQ(drives.ReadFile("C:\\report.txt"), CompressibleText(200000));
  const auto volume = drives.System().GetVolumeInformation('C');
  ASSERT_TRUE(volume);
  if (volume->fileSystemName != "btrfs") {
    EXPECT_EQ(volume->fileSystemFlags & kFsFileCompression, 0u);
  }

  const std::string root = drives.Root('D');
  if (::mount("norvex-test", root.c_str(), "tmpfs", 0, "size=4m") == 0) {
    drives.WriteFile("D:\\report.txt", CompressibleText(100000));
    const bool compressed = drives.System().SetCompression("D:\\report.txt", true);
    const auto type = drives.System().GetDriveType('D');
    ::umount2(root.c_str(), MNT_DETACH);
    EXPECT_FALSE(compressed);
    EXPECT_EQ(type, DriveType::RamDisk);
  }
}

// A 300 MB btrfs image, loop-mounted as drive D:. Needs root and btrfs-progs.
class BtrfsDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    drives_ = std::make_unique<TempDrives>("CD");
    btrfs_ = std::make_unique<testing_support::ImageDrive>(*drives_, 'D', platform::ImageFormat::Btrfs);
    if (!btrfs_->Mounted()) GTEST_SKIP() << btrfs_->WhyNot();
  }

  void TearDown() override {
    btrfs_.reset();
    drives_.reset();  // removes the image too
  }

  void Remount(const char* options) {
    const std::string command =
        std::string("mount -o remount,") + options + " '" + drives_->Root('D') + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  std::unique_ptr<TempDrives> drives_;
  std::unique_ptr<testing_support::ImageDrive> btrfs_;
};

TEST_F(BtrfsDrive, CompressesAndDecompressesForReal) {
  System& system = drives_->System();
  constexpr std::size_t kSize = 8 * 1024 * 1024;
  const std::string text = CompressibleText(kSize);
  drives_->WriteFile("D:\\Reports\\year.txt", text);
  const auto volume = system.GetVolumeInformation('D');
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->fileSystemName, "btrfs");
  EXPECT_NE(volume->fileSystemFlags & kFsFileCompression, 0u);
  EXPECT_EQ(system.GetCompressedFileSize("D:\\Reports\\year.txt"), kSize);
  EXPECT_EQ(system.GetFileAttributes("D:\\Reports\\year.txt") & kAttrCompressed, 0u);

  ASSERT_TRUE(system.SetCompression("D:\\Reports\\year.txt", true));
  const std::uint64_t compressed = system.GetCompressedFileSize("D:\\Reports\\year.txt");
  EXPECT_LT(compressed, kSize / 4) << "the data was not rewritten compressed";
  EXPECT_GT(compressed, 0u);
  EXPECT_NE(system.GetFileAttributes("D:\\Reports\\year.txt") & kAttrCompressed, 0u);
  bool listed = false;
  system.ListDirectory("D:\\Reports", [&](const FindData& data) {
    listed = true;
    EXPECT_EQ(data.compressedSize, compressed);
    EXPECT_EQ(data.size, kSize);
    EXPECT_NE(data.attributes & kAttrCompressed, 0u);
    return true;
  });
  EXPECT_TRUE(listed);
  EXPECT_EQ(drives_->ReadFile("D:\\Reports\\year.txt"), text);

  // The unprivileged estimate lands near the exact figure.
  {
    const UniqueFd fd(::open(drives_->Host("D:\\Reports\\year.txt").c_str(), O_RDONLY | O_CLOEXEC));
    const auto estimate = FiemapDiskBytesEstimate(fd.Get());
    ASSERT_TRUE(estimate);
    EXPECT_LT(*estimate, kSize / 2);
    EXPECT_GE(*estimate, compressed / 2);
  }

  EXPECT_TRUE(system.SetCompression("D:\\Reports\\year.txt", true));  // again: no change
  EXPECT_LT(system.GetCompressedFileSize("D:\\Reports\\year.txt"), kSize / 4);

  ASSERT_TRUE(system.SetCompression("D:\\Reports\\year.txt", false));
  EXPECT_EQ(system.GetCompressedFileSize("D:\\Reports\\year.txt"), kSize);
  EXPECT_EQ(system.GetFileAttributes("D:\\Reports\\year.txt") & kAttrCompressed, 0u);
  EXPECT_EQ(drives_->ReadFile("D:\\Reports\\year.txt"), text);
}

TEST_F(BtrfsDrive, SharedDataIsListedAsSharedAndNeverRewrittenWhilePlainDataStillCompresses) {
  System& system = drives_->System();
  const std::string text = CompressibleText(8 * 1024 * 1024);
  const std::string root = drives_->Root('D');
  const auto run = [](const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); };
  drives_->WriteFile("D:\\a.txt", text);
  drives_->WriteFile("D:\\plain.txt", text);
  ASSERT_EQ(run("btrfs subvolume create '" + root + "/vol'"), 0);
  drives_->WriteFile("D:\\vol\\kept.txt", text);
  ::sync();  // data not yet on disk shares nothing
  ASSERT_EQ(run("cp --reflink=always '" + root + "/a.txt' '" + root + "/b.txt'"), 0);
  ASSERT_EQ(run("btrfs subvolume snapshot '" + root + "/vol' '" + root + "/snap'"), 0);
  ::sync();

  const auto sharedOf = [&](const char* folder) {
    std::map<std::string, bool> shared;
    system.ListDirectory(folder, [&](const FindData& data) {
      if (!data.IsDirectory()) shared[data.name] = data.sharedData;
      return true;
    });
    return shared;
  };
  EXPECT_EQ(sharedOf("D:\\"), (std::map<std::string, bool>{{"a.txt", true}, {"b.txt", true}, {"plain.txt", false}}));
  EXPECT_EQ(sharedOf("D:\\vol"), (std::map<std::string, bool>{{"kept.txt", true}}));

  const auto used = [&] {
    const UniqueFd fd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ::syncfs(fd.Get());
    struct statvfs info {};
    EXPECT_EQ(::fstatvfs(fd.Get(), &info), 0);
    return (info.f_blocks - info.f_bfree) * info.f_frsize;
  };
  const std::uint64_t before = used();
  for (const char* shared : {"D:\\a.txt", "D:\\b.txt", "D:\\vol\\kept.txt"}) {
    errno = 0;
    EXPECT_FALSE(system.SetCompression(shared, true)) << shared;
    EXPECT_EQ(errno, kErrorSharedData) << shared;
    EXPECT_EQ(system.GetFileAttributes(shared) & kAttrCompressed, 0u) << shared;
  }
  EXPECT_LE(used(), before);
  ASSERT_TRUE(system.SetCompression("D:\\plain.txt", true));
  EXPECT_LT(used() + text.size() / 2, before) << "compressing plain data freed too little";
  EXPECT_EQ(drives_->ReadFile("D:\\a.txt"), text);
}

TEST_F(BtrfsDrive, AFolderPassesCompressionToNewFiles) {
  System& system = drives_->System();
  drives_->MakeDirectory("D:\\Archive");
  ASSERT_TRUE(system.SetCompression("D:\\Archive", true));
  EXPECT_NE(system.GetFileAttributes("D:\\Archive") & kAttrCompressed, 0u);
  drives_->WriteFile("D:\\Archive\\new.txt", CompressibleText(1 << 20));
  ::sync();
  EXPECT_NE(system.GetFileAttributes("D:\\Archive\\new.txt") & kAttrCompressed, 0u);
  EXPECT_LT(system.GetCompressedFileSize("D:\\Archive\\new.txt"), (1u << 20) / 4);
  ASSERT_TRUE(system.SetCompression("D:\\Archive", false));
  EXPECT_EQ(system.GetFileAttributes("D:\\Archive") & kAttrCompressed, 0u);
}

TEST_F(BtrfsDrive, DecompressingUnderForcedCompressionReportsFailure) {
  System& system = drives_->System();
  const std::string text = CompressibleText(2 * 1024 * 1024);
  drives_->WriteFile("D:\\forced.txt", text);
  ASSERT_TRUE(system.SetCompression("D:\\forced.txt", true));
  Remount("compress-force=zstd");
  // Every rewrite is compressed again: the data cannot be stored plainly, so this is no success.
  EXPECT_FALSE(system.SetCompression("D:\\forced.txt", false));
  EXPECT_EQ(drives_->ReadFile("D:\\forced.txt"), text);
}

}  // namespace
}  // namespace platform
