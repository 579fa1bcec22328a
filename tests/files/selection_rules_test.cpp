// Compress, decompress, cancel and their directories dialog.
#include <gtest/gtest.h>

#include "selection_support.h"

using namespace selection_testing;
using files::DirectoriesChoice;

namespace {

class SelectionRules : public ::testing::Test, public SelectionFixture {};

TEST_F(SelectionRules, CompressTwiceLeavesTheCountAsItWas) {
  Select({kA, kC});
  Send(files::kCmdCompress);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_EQ(work->actions()[kA], files::kActionCompress);
  EXPECT_EQ(list.rewritten, (std::vector<std::uint32_t>{kA, kC}));

  Send(files::kCmdCompress);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_TRUE(dialogs.directoriesShown.empty());
}

TEST_F(SelectionRules, NothingQualifyingGivesTheMessage) {
  work->states()[kA] = scan::kStateCompressed;
  Select({kA});
  Send(files::kCmdCompress);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"There are no objects to compress."});
  EXPECT_EQ(prompter.asked[0].icon, common::Icon::None);
  EXPECT_EQ(work->actions()[kA], files::kActionNone);

  Select({kB});  // state normal: nothing to decompress
  Send(files::kCmdDecompress);
  EXPECT_EQ(prompter.Texts().back(), "There are no objects to decompress.");

  Select({});
  Send(files::kCmdCompress);
  EXPECT_EQ(prompter.Texts().back(), "There are no objects to compress.");
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
}

TEST_F(SelectionRules, DecompressReplacingCompressKeepsTheCount) {
  Select({kA});
  Send(files::kCmdCompress);
  work->states()[kA] = scan::kStateCompressed;
  Send(files::kCmdDecompress);
  EXPECT_EQ(work->actions()[kA], files::kActionDecompress);
  EXPECT_EQ(state.PendingActionCount.load(), 1u);
}

TEST_F(SelectionRules, FolderWithoutOptionsMarksOnlyItselfAndAsksOnce) {
  Select({kSub, kA});
  Send(files::kCmdCompress);
  ASSERT_EQ(dialogs.directoriesShown.size(), 1u);
  EXPECT_EQ(work->actions()[kSub], files::kActionCompress);
  EXPECT_EQ(Sub().actions()[kX], files::kActionNone);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_TRUE(list.prepared.empty());

  // The next command asks again, showing what was chosen.
  Send(files::kCmdCancelAction);
  EXPECT_EQ(dialogs.directoriesShown.size(), 2u);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
}

TEST_F(SelectionRules, FilesInFoldersTooMarksTheFolderFilesOnly) {
  dialogs.directoriesAnswers.push_back(DirectoriesChoice{false, true});
  Select({kSub});
  Send(files::kCmdCompress);
  EXPECT_EQ(Sub().actions()[kX], files::kActionCompress);
  EXPECT_EQ(Sub().actions()[kDeep], files::kActionNone);
  EXPECT_EQ(Deep().actions()[0], files::kActionNone);
  EXPECT_EQ(work->actions()[kSub], files::kActionCompress);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  // Entries inside the folder are not rows of the list.
  EXPECT_EQ(list.rewritten, std::vector<std::uint32_t>{kSub});
  EXPECT_TRUE(flags.FilesInFoldersToo);
}

TEST_F(SelectionRules, SubfoldersTooScansFirstThenThePreparedRunMarksEverything) {
  dialogs.directoriesAnswers.push_back(DirectoriesChoice{true, true});
  Select({kA, kSub});
  Send(files::kCmdCompress);
  // a.txt came before the folder and stays marked; the folder waits for its scan.
  EXPECT_EQ(list.prepared, std::vector<int>{files::kCmdCompress});
  EXPECT_EQ(work->actions()[kSub], files::kActionNone);
  EXPECT_TRUE(prompter.asked.empty());

  FinishPreparing();
  EXPECT_EQ(dialogs.directoriesShown.size(), 1u);
  EXPECT_EQ(Deep().actions()[0], files::kActionCompress);
  EXPECT_EQ(Sub().actions()[kDeep], files::kActionCompress);
  EXPECT_EQ(Sub().actions()[kX], files::kActionCompress);
  EXPECT_EQ(work->actions()[kSub], files::kActionCompress);
  EXPECT_EQ(state.PendingActionCount.load(), 5u);
  EXPECT_EQ(scan::CountActions(*work), 5u);
}

TEST_F(SelectionRules, SubfoldersTooWhileScanningWaitsAndAsksAgainNextTime) {
  state.ScanInProgress = true;
  dialogs.directoriesAnswers.push_back(DirectoriesChoice{true, false});
  Select({kSub});
  Send(files::kCmdDecompress);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Wait or stop scanning first."});
  EXPECT_TRUE(list.prepared.empty());
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
  Send(files::kCmdDecompress);
  EXPECT_EQ(dialogs.directoriesShown.size(), 2u);
}

TEST_F(SelectionRules, CancelInTheDirectoriesDialogKeepsEarlierActions) {
  flags.SubfoldersToo = true;
  dialogs.directoriesAnswers.push_back(std::nullopt);
  Select({kA, kSub, kC});
  Send(files::kCmdCompress);
  EXPECT_EQ(work->actions()[kA], files::kActionCompress);
  EXPECT_EQ(work->actions()[kSub], files::kActionNone);
  EXPECT_EQ(work->actions()[kC], files::kActionNone);
  EXPECT_EQ(state.PendingActionCount.load(), 1u);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_TRUE(flags.SubfoldersToo);  // Cancel stores nothing
  EXPECT_TRUE(list.prepared.empty());
}

TEST_F(SelectionRules, CancelActionRecursesWithTheOptionsAndNeverScansFirst) {
  dialogs.directoriesAnswers.push_back(DirectoriesChoice{true, true});
  Select({kSub});
  Send(files::kCmdCompress);
  FinishPreparing();
  ASSERT_EQ(state.PendingActionCount.load(), 4u);

  dialogs.directoriesAnswers.push_back(DirectoriesChoice{false, true});
  Send(files::kCmdCancelAction);
  EXPECT_EQ(list.prepared.size(), 1u);  // only the compress
  EXPECT_EQ(Sub().actions()[kX], files::kActionNone);
  EXPECT_EQ(Sub().actions()[kDeep], files::kActionCompress);  // subfolders not asked
  EXPECT_EQ(Deep().actions()[0], files::kActionCompress);
  EXPECT_EQ(work->actions()[kSub], files::kActionNone);
  EXPECT_EQ(state.PendingActionCount.load(), 2u);
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(SelectionRules, CountNeverWrapsBelowZero) {
  work->actions()[kA] = files::kActionCompress;  // e.g. counted away by a rescan meanwhile
  files::SetAction(*work, kA, files::kActionNone, state);
  EXPECT_EQ(state.PendingActionCount.load(), 0u);
}

TEST(SelectionEnabling, CompressNeedsACompressibleShownFolderOthersTheActiveList) {
  using files::SelectionCommandEnabled;
  for (const int command : {files::kCmdCompress, files::kCmdDecompress}) {
    EXPECT_TRUE(SelectionCommandEnabled(command, false, true, true));
    EXPECT_FALSE(SelectionCommandEnabled(command, true, true, false));
    EXPECT_FALSE(SelectionCommandEnabled(command, true, false, true));
  }
  for (const int command : {files::kCmdBackUp, files::kCmdRestore, files::kCmdCancelAction,
                            files::kCmdSetHint}) {
    EXPECT_TRUE(SelectionCommandEnabled(command, true, false, false));
    EXPECT_FALSE(SelectionCommandEnabled(command, false, true, true));
  }
}

}  // namespace
