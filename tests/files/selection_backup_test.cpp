// Back up, restore and set hint.
#include <gtest/gtest.h>

#include "selection_support.h"

using namespace selection_testing;
using files::BackupChoice;

namespace {

class SelectionBackup : public ::testing::Test, public SelectionFixture {};

TEST_F(SelectionBackup, BackUpToTheShownDriveIsRefusedBeforeAnyChange) {
  dialogs.backupAnswers.push_back(BackupChoice{false, "c: [System]"});
  Select({kA, kSub});
  Send(files::kCmdBackUp);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "You can't Back Up to current disk.");
  EXPECT_EQ(prompter.asked[0].icon, common::Icon::Stop);
  EXPECT_EQ(dialogs.backsUpFromShown, std::vector<char>{'C'});  // the dialog refuses C:'s disk
  EXPECT_EQ(scan::CountActions(*work), 0u);
  EXPECT_EQ(work->backupDrives()[kA], 0);
  EXPECT_EQ(Sub().backupDrives()[kX], 0);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
  EXPECT_TRUE(list.rewritten.empty());
}

TEST_F(SelectionBackup, FolderWithoutSubdirectoriesMarksItsFilesAndItself) {
  Sub().actions()[kDeep] = files::kActionCompress;
  state.PendingActionCount = 1;
  Sub().states()[kX] = scan::kStateNormal;
  dialogs.backupAnswers.push_back(BackupChoice{false, "E: [Data]"});
  Select({kSub});
  Send(files::kCmdBackUp);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_TRUE(list.prepared.empty());
  EXPECT_EQ(flags.BackupTarget, "E: [Data]");
  EXPECT_EQ(Sub().actions()[kX], files::kActionBackUp);
  EXPECT_EQ(Sub().backupDrives()[kX], 'E');
  EXPECT_EQ(Sub().actions()[kDeep], files::kActionCompress);  // sub-folder keeps its action
  EXPECT_EQ(Sub().backupDrives()[kDeep], 'E');                 // but learns the drive
  EXPECT_EQ(Deep().actions()[0], files::kActionNone);
  EXPECT_EQ(work->actions()[kSub], files::kActionBackUp);
  EXPECT_EQ(state.PendingActionCount.load(), 3u);
  EXPECT_EQ(list.rewritten, std::vector<std::uint32_t>{kSub});
}

TEST_F(SelectionBackup, BackedUpEntriesAreLeftAndNothingLeftGivesTheMessage) {
  work->states()[kA] = scan::kStateBackedUp;
  dialogs.backupAnswers.push_back(BackupChoice{false, "E:"});
  Select({kA});
  Send(files::kCmdBackUp);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"There are no objects to Back Up."});
  EXPECT_EQ(work->actions()[kA], files::kActionNone);
}

TEST_F(SelectionBackup, IncludeSubdirectoriesScansFirstAndThePreparedRunSkipsTheDialog) {
  dialogs.backupAnswers.push_back(BackupChoice{true, "E:"});
  Select({kSub});
  Send(files::kCmdBackUp);
  EXPECT_EQ(list.prepared, std::vector<int>{files::kCmdBackUp});
  EXPECT_EQ(scan::CountActions(*work), 0u);

  FinishPreparing();
  EXPECT_EQ(dialogs.backupShown.size(), 1u);
  EXPECT_EQ(Deep().actions()[0], files::kActionBackUp);
  EXPECT_EQ(Deep().backupDrives()[0], 'E');
  EXPECT_EQ(Sub().actions()[kDeep], files::kActionBackUp);
  EXPECT_EQ(state.PendingActionCount.load(), 4u);

  // The next back up shows what was chosen and may be cancelled without a change.
  Send(files::kCmdBackUp);
  ASSERT_EQ(dialogs.backupShown.size(), 2u);
  EXPECT_TRUE(dialogs.backupShown[1].includeSubfolders);
  EXPECT_EQ(dialogs.backupShown[1].backupTarget, "E:");
  EXPECT_EQ(state.PendingActionCount.load(), 4u);
}

TEST_F(SelectionBackup, IncludeSubdirectoriesWhileScanningWaits) {
  state.ScanInProgress = true;
  dialogs.backupAnswers.push_back(BackupChoice{true, "E:"});
  Select({kSub});
  Send(files::kCmdRestore);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Wait or stop scanning first."});
  EXPECT_TRUE(list.prepared.empty());
}

TEST_F(SelectionBackup, AnEmptyDriveChoiceChangesNothing) {
  flags.BackupTarget = "F:";
  dialogs.backupAnswers.push_back(BackupChoice{true, ""});
  Select({kA});
  Send(files::kCmdBackUp);
  EXPECT_EQ(flags.BackupTarget, "F:");
  EXPECT_FALSE(flags.IncludeSubfolders);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(SelectionBackup, RestoreMarksEntriesNeverBackedUpOnTheShownDriveToo) {
  dialogs.backupAnswers.push_back(BackupChoice{false, "C:"});
  Select({kA, kB});
  Send(files::kCmdRestore);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(work->actions()[kA], files::kActionRestore);
  EXPECT_EQ(work->backupDrives()[kB], 'C');
  EXPECT_EQ(state.PendingActionCount.load(), 2u);

  dialogs.backupAnswers.push_back(BackupChoice{false, "E:"});
  Select({});
  Send(files::kCmdRestore);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"There are no objects to Restore."});
  EXPECT_EQ(dialogs.backsUpFromShown, (std::vector<char>{'\0', '\0'}));  // restore refuses none
}

TEST_F(SelectionBackup, SetHintFollowsEachEntrysHint) {
  work->hints()[kA] = 0;
  work->actions()[kA] = files::kActionBackUp;
  state.PendingActionCount = 1;
  work->hints()[kB] = files::kActionCompress;
  work->hints()[kC] = files::kActionRestore;
  work->states()[kC] = scan::kStateBackedUp;
  dialogs.backupAnswers.push_back(BackupChoice{false, "C:"});
  Select({kA, kB, kC});
  Send(files::kCmdSetHint);
  EXPECT_EQ(work->actions()[kA], files::kActionNone);
  EXPECT_EQ(work->actions()[kB], files::kActionCompress);
  EXPECT_EQ(work->actions()[kC], files::kActionRestore);
  EXPECT_EQ(work->backupDrives()[kC], 'C');
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_EQ(list.rewritten, (std::vector<std::uint32_t>{kA, kB, kC}));
  EXPECT_TRUE(prompter.asked.empty());  // no drive test, no "no objects" message
}

TEST_F(SelectionBackup, SetHintAsksTheBackupDialogOnceAndStopsOnCancel) {
  work->hints()[kA] = files::kActionBackUp;
  work->hints()[kB] = files::kActionRestore;
  work->hints()[kC] = files::kActionBackUp;
  Select({kA, kB, kC});
  Send(files::kCmdSetHint);  // cancelled
  EXPECT_EQ(dialogs.backupShown.size(), 1u);
  EXPECT_EQ(scan::CountActions(*work), 0u);

  dialogs.backupAnswers.push_back(BackupChoice{false, "E:"});
  Send(files::kCmdSetHint);
  EXPECT_EQ(dialogs.backupShown.size(), 2u);
  EXPECT_EQ(work->actions()[kA], files::kActionBackUp);
  EXPECT_EQ(work->actions()[kB], files::kActionNone);  // restore only what was backed up
  EXPECT_EQ(work->actions()[kC], files::kActionBackUp);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
}

}  // namespace
