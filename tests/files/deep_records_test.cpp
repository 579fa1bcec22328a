// Hints, action selection and the action engine over a chain of records far deeper than
// a stack holds frames for, as a hostile folder tree or hand-off file makes them.

#include <gtest/gtest.h>

#include "engine_support.h"
#include "files/action_engine.h"
#include "files/action_selection.h"
#include "files/hint_refresh.h"
#include "selection_support.h"
#include "support/deep_records.h"
#include "support/temp_drives.h"

namespace {

using testing_support::kDeepChainLevels;

TEST(DeepRecords, HintsSelectionAndTheEngineReachTheBottomOfAHundredThousandLevels) {
  testing_support::TempDrives drives("CD");
  testing_support::RunOnSmallStack([&drives] {
    activity::AppState state;
    scan::CFolderInfo driveList;
    scan::CFolderInfo& deepest = testing_support::AddFolderChain(driveList, "D:", kDeepChainLevels);
    scan::CFolderInfo& root = *driveList.GetChild(0);

    deepest.hints()[0] = 99;
    files::RefreshHints(driveList, state, drives.System());
    EXPECT_EQ(deepest.hints()[0], files::kHintNone);  // D: has no database: no hint

    // "Cancel action" on the top folder, its subfolders and their files too.
    files::SetAction(deepest, 0, files::kActionCompress, state);
    files::SelectionFlags flags;
    selection_testing::ScriptedDialogs dialogs;
    dialogs.directoriesAnswers.push_back(files::DirectoriesChoice{true, true});
    testing_support::ScriptedPrompter prompter;
    files::ActionSelection selection(state, flags, dialogs, prompter);
    selection_testing::FakeList list;
    list.record = &root;
    list.selected = {0};
    selection.Run(files::kCmdCancelAction, list);
    EXPECT_EQ(deepest.actions()[0], files::kActionNone);
    EXPECT_EQ(state.PendingActionCount.load(), 0u);

    // The engine reaches the deepest file's action (compressing it fails: its path is far
    // too long for the host, so the action stays) and recalculates the drive.
    files::SetAction(deepest, 0, files::kActionCompress, state);
    files::ActionRunFlags runFlags;
    runFlags.ProcessingOn = 1;
    engine_test::RecordingProgress progress;
    files::ActionEngine engine(drives.System(), state.PendingActionCount, runFlags, prompter, progress);
    engine.ActionWorker(driveList);
    EXPECT_EQ(progress.files.front(), deepest.path() + "f");
    EXPECT_EQ(deepest.actions()[0], files::kActionCompress);
    EXPECT_EQ(driveList.totalFiles, 1u);
  });
}

}  // namespace
