// The action commands as the frame's Files list runs them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include "files/action_codes.h"
#include "files/list_format.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "ui/app/settings_option_store.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/prompter/status_panes.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace ui {
namespace {

TEST(SelectionInFrame, CompressRewritesColumnAOfTheSelectedRowsAndTheCount) {
  testing_support::TempDrives drives;
  testing_support::FaultySystem faulty(drives.System());
  QTemporaryDir config;
  SettingsOptionStore options(config.path());
  testing_support::ScriptedPrompter prompter;
  activity::AppState state;
  CommandTable commands;
  scan::CFolderInfo driveList;
  {
    auto frame = std::make_unique<CMainFrame>(state, faulty, prompter, options, commands);
    scan::NewEntry drive;
    drive.name = "C:";
    drive.kind = scan::kKindFolder;
    drive.source = scan::kSourceDrive;
    driveList.AddEntry(drive);
    scan::CFolderInfo& root = *driveList.GetChild(0);
    for (const char* name : {"a.txt", "b.txt"}) {
      scan::NewEntry file;
      file.name = name;
      file.source = 'C';
      root.AddEntry(file);
    }
    CFilesList& list = frame->List();
    list.Fill(&root);
    commands.SetActiveView(Target::List);
    ASSERT_FALSE(commands.Query(cmd::kCompress).Enabled());
    state.CompressibleDrive[activity::DriveIndex('C')] = true;

    int rowOfB = 0;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
      if (list.model()->index(row, activity::kSortName).data().toString() == "b.txt") rowOfB = row;
    }
    list.selectionModel()->select(list.model()->index(rowOfB, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_TRUE(commands.Execute(cmd::kCompress));
    EXPECT_EQ(root.actions()[1], 1);
    EXPECT_EQ(root.actions()[0], 0);
    EXPECT_EQ(list.model()->index(rowOfB, activity::kSortAction).data().toString(), "C");
    EXPECT_EQ(list.model()->index(1 - rowOfB, activity::kSortAction).data().toString().trimmed(), "");
    EXPECT_EQ(frame->Status().Actions(), "A:1");

    ASSERT_TRUE(commands.Execute(cmd::kCancelAction));
    EXPECT_EQ(list.model()->index(rowOfB, activity::kSortAction).data().toString().trimmed(), "");
    EXPECT_EQ(frame->Status().Actions(), "A:0");
    EXPECT_TRUE(prompter.asked.empty());
  }
}

class SubfoldersInFrame : public testing_support::FrameTest {};

// Compress with "subfolders too" on a folder a shallow read left unread: the folder is
// read first, the tree stays on the drive, and then the command marks what was found.
TEST_F(SubfoldersInFrame, CompressReadsTheUnreadFolderThenMarksWhatItHolds) {
  drives.WriteFile("D:\\Work\\Deep\\a.txt", "abc");
  OpenFrame();
  CDriveTree& tree = Tree();
  tree.expand(Drive('D'));  // reads D: two levels deep
  tree.setCurrentIndex(Drive('D'));
  WaitForScan();
  scan::CFolderInfo& work = *tree.RecordOf(Drive('D'))->GetChild(0);
  ASSERT_EQ(work.readState, scan::ReadState::ReadPartly);

  state.CompressibleDrive[activity::DriveIndex('D')] = true;
  commands.SetActiveView(Target::List);
  CFilesList& list = List();
  list.selectionModel()->select(list.model()->index(0, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ASSERT_EQ(list.SelectedEntries(), std::vector<std::uint32_t>{0});
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) box->setChecked(true);
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(commands.Execute(cmd::kCompress));
  ASSERT_TRUE(RunUntil([this] { return state.PendingActionCount.load() != 0; }));

  EXPECT_EQ(work.readState, scan::ReadState::ReadFully);
  ASSERT_EQ(work.Count(), 1u);
  ASSERT_NE(work.GetChild(0), nullptr);
  EXPECT_EQ(work.GetChild(0)->actions()[0], files::kActionCompress);  // Deep\a.txt
  EXPECT_EQ(state.PendingActionCount.load(), 3u);
  EXPECT_EQ(tree.CurrentItem(), Drive('D'));
  EXPECT_EQ(frame->Status().Actions(), "A:3");
  EXPECT_TRUE(prompter.asked.empty());
}

}  // namespace
}  // namespace ui
