#include "common/space.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analysis/space_page_figures.h"
#include "platform/system.h"
#include "scan/folder_info.h"

namespace common {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

// The used percentage of a file as the views show it: 100 for nothing allocated.
std::uint32_t UsedPercentOf(std::uint64_t compressedSize, std::uint64_t clusterSize) {
  const std::uint64_t actual = RoundUpToCluster(compressedSize, clusterSize);
  return actual == 0 ? 100 : RoundedPercent(compressedSize, actual);
}

TEST(Space, FilesOnTypicalClusterSizes) {
  EXPECT_EQ(RoundUpToCluster(0, 512), 0u);
  EXPECT_EQ(UsedPercentOf(0, 512), 100u);
  EXPECT_EQ(RoundUpToCluster(1, 512), 512u);
  EXPECT_EQ(UsedPercentOf(1, 512), 0u);  // (100 + 256) / 512 truncates
  EXPECT_EQ(UsedPercentOf(3, 512), 1u);
  EXPECT_EQ(RoundUpToCluster(512, 512), 512u);
  EXPECT_EQ(RoundUpToCluster(513, 512), 1024u);
  EXPECT_EQ(RoundUpToCluster(4096, 4096), 4096u);
  EXPECT_EQ(UsedPercentOf(4096, 4096), 100u);
  EXPECT_EQ(RoundUpToCluster(4096, 65536), 65536u);
  EXPECT_EQ(UsedPercentOf(4096, 65536), 6u);
  // A compressed file: actual size follows the compressed size.
  EXPECT_EQ(RoundUpToCluster(40000, 4096), 40960u);
  EXPECT_EQ(UsedPercentOf(40000, 4096), 98u);
}

TEST(Space, ClusterSizeZeroMeansNoRounding) {
  for (const std::uint64_t bytes : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{40000}, 5 * kGiB + 3}) {
    EXPECT_EQ(RoundUpToCluster(bytes, 0), bytes);
  }
}

TEST(Space, RoundedPercentRoundsHalvesUp) {
  EXPECT_EQ(RoundedPercent(1, 200), 1u);
  EXPECT_EQ(RoundedPercent(1, 201), 0u);
  EXPECT_EQ(RoundedPercent(1, 3), 33u);
  EXPECT_EQ(RoundedPercent(2, 3), 67u);
  EXPECT_EQ(RoundedPercent(0, 7), 0u);
  EXPECT_EQ(RoundedPercent(3, 2), 150u);  // a part above the whole is shown as is
  EXPECT_EQ(RoundedPercent(5, 0), 0u);    // no division by zero
}

TEST(Space, KilobytesTruncatedAndRounded) {
  EXPECT_EQ(KFloor(1023), 0u);
  EXPECT_EQ(KFloor(1024), 1u);
  EXPECT_EQ(KFloor(2047), 1u);
  EXPECT_EQ(KRounded(511), 0u);
  EXPECT_EQ(KRounded(512), 1u);
  EXPECT_EQ(KRounded(1535), 1u);
  EXPECT_EQ(KRounded(1536), 2u);
}

TEST(Space, SizesBeyond4GiBKeepEveryBit) {
  // A 5 GiB file is 5 GiB, not its low 32 bits.
  EXPECT_EQ(RoundUpToCluster(5 * kGiB + 1, 4096), 5 * kGiB + 4096);
  EXPECT_EQ(KFloor(5 * kGiB), 5u * 1024 * 1024);
  EXPECT_EQ(RoundedPercent(5 * kGiB, 10 * kGiB), 50u);
  // 100 x part does not fit 64 bits here; neither the percentage nor the rounding wraps.
  EXPECT_EQ(RoundedPercent(kMax, kMax), 100u);
  EXPECT_EQ(RoundedPercent(kMax / 3, kMax), 33u);
  EXPECT_EQ(KRounded(kMax), std::uint64_t{1} << 54);
  EXPECT_EQ(RoundedPercent(kMax, 1), std::numeric_limits<std::uint32_t>::max());
}

TEST(SpacePageFigures, DriveSpaceUsageNeverExceedsTheWholeDrive) {
  // Actual sizes recalculated for larger clusters (or files counted twice through hard
  // links) can add up to more than the drive uses.
  scan::CFolderInfo folder;
  scan::NewEntry entry;
  entry.source = 'D';
  entry.name = "a";
  entry.size = entry.compressedSize = 100;
  entry.clusterSize = 65536;
  folder.AddEntry(entry);
  folder.Reaggregate();
  const std::uint32_t all[] = {0};
  EXPECT_EQ(analysis::FolderFigures(folder, 4096).driveUsage, "not read yet");  // never listed
  EXPECT_FALSE(analysis::FolderFigures(folder, 4096).read);
  folder.readState = scan::ReadState::ReadFully;
  EXPECT_EQ(analysis::FolderFigures(folder, 4096).driveUsage, "100 %");
  EXPECT_EQ(analysis::SelectionFigures(folder, all, 4096).driveUsage, "100 %");
  EXPECT_EQ(analysis::SelectionFigures(folder, all, 131072).driveUsage, "50 %");
}

// A system whose only drive query is the free-space one, answering what the test says;
// every other service fails.
class DiskSpaceSystem final : public platform::System {
 public:
  std::optional<platform::DiskSpace> answer;
  mutable char askedLetter = 0;

  std::optional<platform::DiskSpace> GetDiskFreeSpace(char letter) const override {
    askedLetter = letter;
    return answer;
  }
  const platform::DriveMap& Drives() const override { return drives_; }
  std::optional<std::string> HostPath(std::string_view) const override { return std::nullopt; }
  platform::DriveType GetDriveType(char) const override { return platform::DriveType::NoRootDir; }
  std::optional<platform::VolumeInfo> GetVolumeInformation(char) const override { return std::nullopt; }
  std::optional<std::string> GetNetworkConnection(char) const override { return std::nullopt; }
  bool ListDirectory(std::string_view, const std::function<bool(const platform::FindData&)>&) const override {
    return false;
  }
  std::uint32_t GetFileAttributes(std::string_view) const override { return platform::kInvalidAttributes; }
  bool SetFileAttributes(std::string_view, std::uint32_t) override { return false; }
  std::optional<std::uint64_t> GetFileSize(std::string_view) const override { return std::nullopt; }
  std::uint64_t GetCompressedFileSize(std::string_view) const override { return platform::kInvalidFileSize; }
  std::unique_ptr<platform::File> OpenFile(std::string_view, const platform::OpenOptions&) override {
    return nullptr;
  }
  bool CopyFile(std::string_view, std::string_view, bool) override { return false; }
  bool MoveFile(std::string_view, std::string_view) override { return false; }
  bool DeleteFile(std::string_view) override { return false; }
  bool FileExists(std::string_view) const override { return false; }
  bool CreateDirectory(std::string_view) override { return false; }
  bool SetCompression(std::string_view, bool) override { return false; }
  std::optional<std::string> DriveProblem(char) const override { return "no drives"; }
  std::optional<std::string> DriveChange(char) const override { return std::nullopt; }
  std::unique_ptr<platform::ActionFile> OpenForAction(std::string_view, platform::OpenFor, std::string*) override {
    return nullptr;
  }
  std::unique_ptr<platform::ActionFile> CreateForAction(std::string_view, platform::ActionFile&,
                                                        std::string*) override {
    return nullptr;
  }
  bool StillNames(const platform::ActionFile&, std::string_view) const override { return false; }
  platform::StepResult CopyOpenFile(platform::ActionFile&, std::string_view, bool) override { return {}; }
  platform::StepResult WriteInto(platform::ActionFile&, platform::ActionFile&) override { return {}; }
  bool CreateDirectoryLike(std::string_view, std::string_view) override { return false; }
  platform::RecorderReply SendRecorderControl(std::uint32_t) override { return platform::RecorderReply::None; }
  std::int64_t Now() const override { return 0; }

 private:
  platform::DriveMap drives_;
};

TEST(DriveSpace, FiguresFromTheQuery) {
  DiskSpaceSystem system;
  // 8 sectors of 512 bytes, 2^32 + 5 clusters: 16 TiB and more, beyond 32 bits.
  system.answer = platform::DiskSpace{8, 512, 3, (std::uint64_t{1} << 32) + 5};
  DriveSpaceFigures figures = DriveSpace(system, "d:\\");
  EXPECT_EQ(system.askedLetter, 'D');
  EXPECT_EQ(figures.clusterSize, 4096u);
  EXPECT_EQ(figures.capacity, ((std::uint64_t{1} << 32) + 5) * 4096);
  EXPECT_EQ(figures.freeBytes, 3u * 4096);
  EXPECT_EQ(figures.usedBytes, ((std::uint64_t{1} << 32) + 2) * 4096);
  // More free clusters than clusters must not wrap the used bytes to exabytes.
  system.answer = platform::DiskSpace{1, 4096, 10, 8};
  figures = DriveSpace(system, "C:\\");
  EXPECT_EQ(figures.usedBytes, 0u);
  EXPECT_EQ(figures.freeBytes, 40960u);
}

TEST(DriveSpace, AFailedQueryGivesZeroForEveryFigure) {
  DiskSpaceSystem system;
  const DriveSpaceFigures failed = DriveSpace(system, "Q:\\");
  EXPECT_EQ(failed.clusterSize, 0u);
  EXPECT_EQ(failed.capacity, 0u);
  EXPECT_EQ(failed.freeBytes, 0u);
  EXPECT_EQ(failed.usedBytes, 0u);
  system.answer = platform::DiskSpace{8, 512, 3, 100};
  EXPECT_EQ(DriveSpace(system, "").capacity, 0u);
  // A cluster size of 0 rounds nothing.
  EXPECT_EQ(RoundUpToCluster(1234, DriveSpace(DiskSpaceSystem{}, "C:\\").clusterSize), 1234u);
}

}  // namespace
}  // namespace common
