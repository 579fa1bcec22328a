#include "analysis/cluster_recalculation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "common/status_sink.h"

namespace analysis {
namespace {

class RecordingStatus : public common::StatusSink {
 public:
  std::vector<std::string> shown;
  int busy = 0;
  void ShowStatus(const std::string& text) override { shown.push_back(text); }
  void SetBusy(bool on) override { busy += on ? 1 : -1; }
};

class ClusterRecalculationTest : public ::testing::Test {
 protected:
  scan::CFolderInfo driveList_;
  RecordingStatus status_;

  scan::CFolderInfo& Folder(std::string_view path) { return scan::RecordForPath(driveList_, path); }
  void AddFile(scan::CFolderInfo& folder, std::string_view name, std::uint64_t compressed) {
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = name;
    entry.size = compressed;
    entry.compressedSize = compressed;
    entry.clusterSize = 4096;
    folder.AddEntry(entry);
  }
  void Build() {
    AddFile(Folder("D:\\"), "top", 100);
    AddFile(Folder("D:\\A\\"), "a1", 1000);
    AddFile(Folder("D:\\A\\"), "a2", 5000);
    AddFile(Folder("D:\\A\\B\\"), "b", 1);
    Folder("D:\\").Recalculate(4096);
  }
};

TEST_F(ClusterRecalculationTest, AFolderIsRecalculatedAndTheDriveTotalsFollow) {
  Build();
  RecalculateFolder(Folder("D:\\A\\"), 512, status_);
  const scan::CFolderInfo& a = Folder("D:\\A\\");
  EXPECT_EQ(a.totalActualSize, 1024u + 5120u + 512u);
  EXPECT_EQ(Folder("D:\\").totalActualSize, 4096u + 1024u + 5120u + 512u);  // "top" untouched
  EXPECT_EQ(status_.shown, (std::vector<std::string>{"Recalculating drive information ...",
                                                     common::kIdlePrompt}));
  EXPECT_EQ(status_.busy, 0);
}

TEST_F(ClusterRecalculationTest, OnlyTheSelectedEntriesChange) {
  Build();
  scan::CFolderInfo& a = Folder("D:\\A\\");
  std::uint32_t a2 = 0;
  for (std::uint32_t i = 0; i < a.Count(); ++i) {
    if (a.names(i) == "a2") a2 = i;
  }
  const std::vector<std::uint32_t> chosen = {a2, 99};
  RecalculateEntries(a, chosen, 65536, status_);
  for (std::uint32_t i = 0; i < a.Count(); ++i) {
    if (a.names(i) == "a2") {
      EXPECT_EQ(a.ActualSize(i), 65536u);
    } else if (a.names(i) == "a1") {
      EXPECT_EQ(a.ActualSize(i), 4096u);
    }
  }
  EXPECT_EQ(Folder("D:\\").totalActualSize, 4096u + 4096u + 65536u + 4096u);
}

TEST_F(ClusterRecalculationTest, ClusterSizeZeroMakesActualSizesTheCompressedSizes) {
  Build();
  RecalculateFolder(Folder("D:\\"), 0, status_);
  EXPECT_EQ(Folder("D:\\").totalActualSize, 6101u);
}

}  // namespace
}  // namespace analysis
