// The action commands as the frame's Files list runs them.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTemporaryDir>

#include <memory>

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
#include "ui/views/files_list.h"

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

}  // namespace
}  // namespace ui
