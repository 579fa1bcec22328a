// When each command of the menus, toolbar and keys is enabled, asked of the real frame
// over a temporary drive map as its state changes: the tree's selection, a running
// scan, the Files list's items and selection, the pending actions.

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <memory>

#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace {

using namespace ui::cmd;

class EnablingRulesTest : public testing_support::FrameTest {
 protected:
  EnablingRulesTest() {
    drives.WriteFile("D:\\a.txt", "12345");
    drives.WriteFile("D:\\Work\\b.txt", "abc");
    OpenFrame();
  }

  bool Enabled(int id) { return commands.Query(id).Enabled(); }
  QModelIndex DriveD() { return frame->Tree().model()->index(1, 0); }

};

TEST_F(EnablingRulesTest, CommandsWithoutAConditionAreEnabledFromTheStart) {
  for (const int id : {kShowNewDatabaseState, kShowOldDatabaseState, kRefreshHints, kHintOptions, kAutoScan,
                       kAppExit, kHelpContents, kHelpSearch, kHelpUsing, kContextHelp, kHelp, kViewToolbar,
                       kViewStatusBar}) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
}

TEST_F(EnablingRulesTest, TreeCommandsWaitForASelectionAndScanCommandsFollowTheScan) {
  const int treeCommands[] = {kRescan,        kCollapseAll,         kExpandAll,         kTreeProperties,
                              kTreeChangeClusterSize, kUpOneLevel, kClusterSizeAnalysis, kChangeClusterSize};
  for (const int id : treeCommands) EXPECT_FALSE(Enabled(id)) << id;
  frame->Tree().setCurrentIndex(DriveD());
  for (const int id : treeCommands) EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(kStopScanning));

  // The scan runs until its records are handed over on this thread: until then Rescan
  // and Perform actions wait, and Stop scanning is offered.
  state.PendingActionCount = 1;
  EXPECT_TRUE(Enabled(kPerformActions));
  ASSERT_TRUE(commands.Execute(kRescan));
  EXPECT_TRUE(Enabled(kStopScanning));
  EXPECT_FALSE(Enabled(kRescan));
  EXPECT_FALSE(Enabled(kPerformActions));
  WaitForScan();
  EXPECT_FALSE(Enabled(kStopScanning));
  EXPECT_TRUE(Enabled(kRescan));
  EXPECT_TRUE(Enabled(kPerformActions));
  state.PendingActionCount = 0;
  EXPECT_FALSE(Enabled(kPerformActions));
}

TEST_F(EnablingRulesTest, ListCommandsFollowItsItemsAndItsSelection) {
  frame->Tree().setCurrentIndex(DriveD());
  ASSERT_TRUE(commands.Execute(kRescan));
  WaitForScan();
  ui::CFilesList& list = frame->List();
  ASSERT_EQ(list.model()->rowCount(), 2);
  commands.SetActiveView(ui::Target::List);
  const int needSelection[] = {kListProperties, kListChangeClusterSize, kSelectActions};

  list.clearSelection();
  EXPECT_TRUE(Enabled(kSelectAll));
  for (const int id : needSelection) EXPECT_FALSE(Enabled(id)) << id;
  list.selectRow(0);
  for (const int id : needSelection) EXPECT_TRUE(Enabled(id)) << id;

  // The action commands belong to the list while it is the active view; compress and
  // decompress also need a drive that compresses.
  for (const int id : {kBackup, kRestore, kCancelAction, kSetHint}) EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(kCompress));
  EXPECT_FALSE(Enabled(kDecompress));
  state.CompressibleDrive[activity::DriveIndex('D')] = true;
  EXPECT_TRUE(Enabled(kCompress));
  EXPECT_TRUE(Enabled(kDecompress));
  commands.SetActiveView(ui::Target::Tree);
  for (const int id : {kCompress, kBackup, kRestore, kCancelAction, kSetHint}) EXPECT_FALSE(Enabled(id)) << id;

  scan::CFolderInfo empty;
  list.Fill(&empty);
  EXPECT_FALSE(Enabled(kSelectAll));
  for (const int id : needSelection) EXPECT_FALSE(Enabled(id)) << id;
}

}  // namespace
