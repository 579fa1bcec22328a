#include "ui/analysis/cluster_commands.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "support_ui/qt_application.h"

#include <vector>

#include "analysis/cluster_analysis.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "activity/app_state.h"
#include "common/prompter.h"
#include "common/silent_status.h"
#include "ui/analysis/window_memory.h"
#include "support/temp_drives.h"

namespace ui {
namespace {

using testing_support::App;

class ScriptedPrompter : public common::Prompter {
 public:
  common::Answer answer = common::Answer::No;
  std::vector<common::Message> asked;
  common::Answer Ask(const common::Message& message) override {
    asked.push_back(message);
    return answer;
  }
};

class ClusterCommandsTest : public ::testing::Test {
 protected:
  ClusterCommandsTest() {
    App();
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = "file";
    entry.size = entry.compressedSize = 1000;
    scan::RecordForPath(driveList_, "D:\\").AddEntry(entry);
    tree_.driveList = &driveList_;
    tree_.currentPath = [] { return std::string("D:\\Work\\"); };
    tree_.collapseToDrive = [this] { steps_.push_back("collapse"); };
    tree_.postRescan = [this] {
      steps_.push_back(state_.PendingClusterAnalysis ? "rescan, pending" : "rescan");
    };
  }
  testing_support::TempDrives drives_{"CD"};
  activity::AppState state_;
  ScriptedPrompter prompter_;
  common::SilentStatus status_;
  WindowMemory memory_;
  CommandServices services_{state_, drives_.System(), prompter_, status_, memory_};
  scan::CFolderInfo driveList_;
  TreeCommandAccess tree_;
  std::vector<std::string> steps_;
};

TEST_F(ClusterCommandsTest, AnUnscannedDriveAsksForARescanFirst) {
  prompter_.answer = common::Answer::Yes;
  RunClusterAnalysis(services_, tree_);
  ASSERT_EQ(prompter_.asked.size(), 1u);
  EXPECT_EQ(prompter_.asked[0].buttons, common::Buttons::YesNo);
  EXPECT_NE(prompter_.asked[0].text.find("Disk D:\\ was not rescaned yet."), std::string::npos);
  EXPECT_EQ(steps_, (std::vector<std::string>{"collapse", "rescan, pending"}));
  EXPECT_EQ(memory_.clusterAnalysis.driveRoot, "D:\\");
  EXPECT_EQ(memory_.clusterAnalysis.data[0], 1000u);
}

TEST_F(ClusterCommandsTest, NoLeavesTheTreeAlone) {
  prompter_.answer = common::Answer::No;
  RunClusterAnalysis(services_, tree_);
  EXPECT_EQ(prompter_.asked.size(), 1u);
  EXPECT_TRUE(steps_.empty());
  EXPECT_FALSE(state_.PendingClusterAnalysis);
}

TEST_F(ClusterCommandsTest, ARunningScanOnlySaysPleaseWait) {
  state_.ScanInProgress = true;
  RunClusterAnalysis(services_, tree_);
  ASSERT_EQ(prompter_.asked.size(), 1u);
  EXPECT_EQ(prompter_.asked[0].text, "Please wait.");
  EXPECT_EQ(prompter_.asked[0].icon, common::Icon::Stop);
  EXPECT_EQ(memory_.clusterAnalysis.driveRoot, "?:\\");  // nothing analysed
}

}  // namespace
}  // namespace ui
