#include "analysis/cluster_analysis.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_layout.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "support/deep_records.h"
#include "support/temp_drives.h"
#include "platform/forwarding_system.h"

namespace analysis {
namespace {

// The temporary drives with the filesystem a test says they have.
class NamedFilesystem : public platform::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  std::optional<platform::VolumeInfo> GetVolumeInformation(char letter) const override {
    auto info = ForwardingSystem::GetVolumeInformation(letter);
    if (info) info->fileSystemName = name;
    return info;
  }
  std::string name = "vfat";
};

class ClusterAnalysisTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives_{"CD"};
  NamedFilesystem system_{drives_.System()};
  scan::CFolderInfo driveList_;

  void AddFile(std::string_view folder, std::string_view name, std::uint64_t compressed) {
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = name;
    entry.size = compressed;
    entry.compressedSize = compressed;
    scan::RecordForPath(driveList_, folder).AddEntry(entry);
  }
  ClusterAnalysisResult Analyse(std::uint64_t* optimal = nullptr) {
    ClusterAnalysisResult result;
    const std::uint64_t size = AnalyseDrive(system_, driveList_, "D:\\", result);
    if (optimal) *optimal = size;
    return result;
  }
};

TEST_F(ClusterAnalysisTest, SumsEveryFileBelowTheDriveIncludingSubfolders) {
  AddFile("D:\\", "a", 1);
  AddFile("D:\\Work\\Deep\\", "b", 4097);
  AddFile("C:\\", "elsewhere", 1000000);  // another drive adds nothing
  const ClusterAnalysisResult result = Analyse();
  EXPECT_EQ(result.driveRoot, "D:\\");
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    EXPECT_EQ(result.data[s], 4098u);
    const std::uint64_t c = ClusterSizes[s];
    EXPECT_EQ(result.allocated[s], c + (4097 + c - 1) / c * c) << c;
  }
  EXPECT_EQ(result.optimalClusterSize, 512u);
  EXPECT_EQ(result.dataOnDisk, 4098u);
  EXPECT_GT(result.diskSize, 0u);
}

TEST_F(ClusterAnalysisTest, ALaterLinkAddsNothingToTheAnalysisTheMapOrTheSavings) {
  scan::FileTraits traits;
  traits.links = 2;
  traits.inode = 77;
  for (const bool later : {false, true}) {
    traits.laterLink = later;
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = later ? "second" : "first";
    entry.size = entry.compressedSize = 8192;
    entry.traits = &traits;
    scan::CFolderInfo& folder = scan::RecordForPath(driveList_, "D:\\A\\");
    folder.AddEntry(entry);
    folder.hints()[folder.Count() - 1] = 4;
  }
  scan::CFolderInfo& drive = scan::RecordForPath(driveList_, "D:\\");
  drive.Recalculate(4096);
  EXPECT_EQ(drive.totalActualSize, 8192u);
  EXPECT_EQ(Analyse().data[0], 8192u);

  const MapSnapshot snapshot = SnapshotFolder(drive, true);
  EXPECT_EQ(SumHintSavings(snapshot).backUp.bytes, 8192u);
  const MapLayout layout = LayOutTreemap(snapshot, {0, 0, 200, 100});
  std::vector<std::string> drawn;
  for (const MapCell& cell : layout.cells) drawn.emplace_back(snapshot.Name(snapshot.items[cell.item]));
  EXPECT_EQ(drawn, (std::vector<std::string>{"", "A", "first"}));
}

TEST_F(ClusterAnalysisTest, AFileAHundredThousandLevelsDownIsSummed) {
  testing_support::AddFolderChain(driveList_, "D:", testing_support::kDeepChainLevels, 4097);
  ClusterAnalysisResult result;
  testing_support::RunOnSmallStack([&] { result = Analyse(); });
  EXPECT_EQ(result.data[0], 4097u);
  EXPECT_EQ(result.allocated[0], 4608u);
}

TEST_F(ClusterAnalysisTest, TooManyClustersForTheSmallestSizeMakesTheNextOneOptimal) {
  // 40 000 000 bytes: 78 125 clusters of 512 (over 65 520), 39 063 clusters of 1024.
  AddFile("D:\\", "big", 40000000);
  std::uint64_t optimal = 0;
  const ClusterAnalysisResult result = Analyse(&optimal);
  EXPECT_EQ(optimal, 1024u);
  EXPECT_EQ(result.dataOnDisk, 40000000u);
  const ClusterAnalysisView view = DescribeClusterAnalysis(result);
  EXPECT_EQ(view.rows[0].diskSize, "Not Allowed");
  EXPECT_EQ(view.rows[1].diskSize, "38-63 MB");  // 40 000 512 >> 20
  EXPECT_EQ(view.optimalClusterSize, "1024");
}

// FAT's limit on the count of clusters says nothing about ext4 or btrfs: a drive's own
// size is never "Not Allowed", and the optimum does not hang on how much was read.
TEST_F(ClusterAnalysisTest, OtherFilesystemsAllowTheSizesTheyCanBeMadeWith) {
  AddFile("D:\\", "big", 40000000);
  system_.name = "ext4";
  std::uint64_t optimal = 0;
  ClusterAnalysisResult result = Analyse(&optimal);
  EXPECT_EQ(optimal, 1024u);
  const std::uint64_t current = result.currentClusterSize;
  ClusterAnalysisView view = DescribeClusterAnalysis(result);
  EXPECT_EQ(view.rows[0].diskSize, "Not Allowed");
  EXPECT_EQ(view.rows[1].diskSize, "Allowed");
  EXPECT_EQ(view.rows[3].diskSize, "Allowed");
  EXPECT_EQ(view.rows[4].diskSize, current == 8192 ? "Allowed" : "Not Allowed");

  system_.name = "btrfs";
  result = Analyse(&optimal);
  EXPECT_EQ(optimal, current);
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    EXPECT_EQ(DescribeClusterAnalysis(result).rows[s].diskSize,
              ClusterSizes[s] == current ? "Allowed" : "Not Allowed");
  }
  EXPECT_FALSE((*SizesMadeWith("ext4", 8ull << 40, 4096))[1]) << "1 K blocks address 4 TB at most";
}

TEST_F(ClusterAnalysisTest, AnEmptyDriveAllowsEverySizeAndChoosesTheSmallest) {
  std::uint64_t optimal = 0;
  const ClusterAnalysisResult result = Analyse(&optimal);
  EXPECT_EQ(optimal, 512u);
  EXPECT_EQ(result.dataOnDisk, 0u);
  const ClusterAnalysisView view = DescribeClusterAnalysis(result);
  const char* ranges[] = {"0-31 MB",    "31-63 MB",   "63-127 MB",   "127-255 MB",
                          "255-511 MB", "511-1023 MB", "1023-2047 MB", "2047-4095 MB"};
  for (std::size_t s = 0; s < kClusterSizeCount; ++s) {
    EXPECT_EQ(view.rows[s].diskSize, ranges[s]);
    EXPECT_EQ(view.rows[s].wasted, "0.0 MB");
    EXPECT_EQ(view.rows[s].barPosition, 100);
  }
  EXPECT_EQ(view.dataOnDisk, "0 MB");
}

TEST_F(ClusterAnalysisTest, OneMegabyteFileShowsTruncatedBarAndTinyWaste) {
  AddFile("D:\\", "one", 1000000);
  const ClusterAnalysisView view = DescribeClusterAnalysis(Analyse());
  EXPECT_EQ(view.rows[7].sizeText, "65536");
  EXPECT_EQ(view.rows[7].wasted, "0.0 MB");  // 48 576 bytes
  EXPECT_EQ(view.rows[7].barPosition, 95);   // 95.37 truncated
  EXPECT_EQ(view.rows[0].barPosition, 99);   // 1000000 / 1000448
}

TEST_F(ClusterAnalysisTest, DataBeyondFourGigabytesIsSummedWithoutWrapping) {
  AddFile("D:\\", "huge", 5ull << 30);
  std::uint64_t optimal = 0;
  const ClusterAnalysisResult result = Analyse(&optimal);
  EXPECT_EQ(result.data[0], 5ull << 30);
  const ClusterAnalysisView view = DescribeClusterAnalysis(result);
  for (const ClusterAnalysisRow& row : view.rows) EXPECT_EQ(row.diskSize, "Not Allowed");
  EXPECT_EQ(optimal, 65536u);
  EXPECT_EQ(view.dataOnDisk, "5120 MB");
}

TEST(DescribeClusterAnalysis, AfterANotAllowedRowTheRangeStartsAtTheRowsOwnAllocation) {
  ClusterAnalysisResult result;
  result.driveRoot = "E:\\";
  result.data.fill(40000000);
  result.allocated = {41943040, 42000000, 42000000, 42000000, 42000000, 42000000, 42000000, 42000000};
  result.diskSize = 250000ull << 20;
  result.freeBytes = 7ull << 20;
  result.currentClusterSize = 4096;
  result.optimalClusterSize = 1024;
  result.dataOnDisk = 40000000;
  const ClusterAnalysisView view = DescribeClusterAnalysis(result);
  EXPECT_EQ(view.title, "Effeciency Analysis of using space on disk E:\\");
  EXPECT_EQ(view.rows[0].diskSize, "Not Allowed");
  EXPECT_EQ(view.rows[1].diskSize, "40-63 MB");
  EXPECT_EQ(view.rows[2].diskSize, "63-127 MB");
  EXPECT_EQ(view.rows[0].wasted, "1.9 MB");
  EXPECT_EQ(view.currentDiskSize, "250000 MB");
  EXPECT_EQ(view.freeSpace, "7 MB");
  EXPECT_EQ(view.currentClusterSize, "4096");
  EXPECT_EQ(view.optimalClusterSize, "1024");
}

TEST(DescribeClusterAnalysis, CompressedDataLargerThanItsClustersShowsNoNegativeWaste) {
  ClusterAnalysisResult result;
  result.data.fill(10000);
  result.allocated.fill(4096);
  const ClusterAnalysisView view = DescribeClusterAnalysis(result);
  EXPECT_EQ(view.rows[3].wasted, "0.0 MB");
  EXPECT_EQ(view.rows[3].barPosition, 100);
}

}  // namespace
}  // namespace analysis
