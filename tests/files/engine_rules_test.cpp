// The action engine over real temporary drives: back-up, the overwrite prompt, restore,
// stopping, failures and compression where the filesystem cannot compress.

#include <string>

#include <gtest/gtest.h>

#include "engine_support.h"
#include "failing_flush.h"
#include "files/action_engine.h"
#include "files/hints.h"
#include "scan/scan_job.h"
#include "scan/scan_support.h"
#include "support/faulty_system.h"
#include "support/folder_entries.h"

namespace {

using engine_test::RecordingProgress;
using engine_test::SelectedActions;
using files::ActionEngine;
using files::OverwriteAnswer;
using testing_support::FaultySystem;
using testing_support::FileNamed;
using testing_support::Operation;
using testing_support::TempDrives;

constexpr const char* kAllProcessed = "All selected files were processed.";

class EngineTest : public ::testing::Test {
 protected:
  bool Run() { return Run(drives.System()); }
  bool Run(platform::System& system) {
    state.PendingActionCount = selection.selected;
    flags.ProcessingOn = 1;
    ActionEngine engine(system, state.PendingActionCount, flags, prompter, progress);
    return engine.ActionWorker(selection.driveList);
  }
  std::uint8_t Action(std::string_view folder, std::uint32_t i) { return selection.Record(folder).actions()[i]; }
  std::uint8_t State(std::string_view folder, std::uint32_t i) { return selection.Record(folder).states()[i]; }

  TempDrives drives{"CDE"};
  activity::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;
};

TEST_F(EngineTest, BacksUpAFileToTheSamePathOnTheBackupDriveAndEmptiesIt) {
  const std::string content(100, 'a');
  drives.WriteFile("C:\\Work\\a.txt", content);
  const auto i = selection.AddFile("C:\\Work\\", "a.txt", 100, files::kActionBackUp, 'E');

  EXPECT_TRUE(Run());

  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), content);
  EXPECT_TRUE(drives.Exists("C:\\Work\\a.txt"));
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "");
  EXPECT_EQ(State("C:\\Work\\", i), scan::kStateBackedUp);
  EXPECT_EQ(Action("C:\\Work\\", i), 0);
  EXPECT_EQ(selection.Record("C:\\Work\\").hints()[i], 0);
  EXPECT_EQ(state.PendingActionCount, 0u);
  EXPECT_EQ(progress.actions.front(), "Backuping file...");
  EXPECT_EQ(progress.files.front(), "C:\\Work\\a.txt");
  EXPECT_EQ(progress.files.back(), ".  .  .  .");
  EXPECT_EQ(progress.actions.back(), ".  .  .");
  EXPECT_EQ(progress.steps, 1);
  EXPECT_EQ(progress.refills, 1);
  ASSERT_EQ(prompter.Texts(), std::vector<std::string>{kAllProcessed});
  EXPECT_EQ(prompter.asked[0].icon, common::Icon::None);
  EXPECT_EQ(flags.ProcessingOn, 0u);
}

TEST_F(EngineTest, OverwritePromptSkipKeepsBothFilesAndAllAnswersForTheRestOfTheRun) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    drives.WriteFile(std::string("C:\\Work\\") + name, std::string("new ") + name);
    drives.WriteFile(std::string("E:\\Work\\") + name, "old");
    selection.AddFile("C:\\Work\\", name, 9, files::kActionBackUp, 'E');
  }
  selection.Record("C:\\Work\\").hints()[0] = files::kActionBackUp;
  progress.overwriteAnswers = {OverwriteAnswer::Skip, OverwriteAnswer::All};

  EXPECT_FALSE(Run());

  EXPECT_EQ(progress.overwriteAsked, (std::vector<std::string>{"E:\\Work\\a.txt", "E:\\Work\\b.txt"}));
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "new a.txt");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "old");
  // Nothing happened to a.txt: its row still says what is to be done.
  EXPECT_EQ(State("C:\\Work\\", 0), scan::kStateNormal);
  EXPECT_EQ(Action("C:\\Work\\", 0), files::kActionBackUp);
  EXPECT_EQ(selection.Record("C:\\Work\\").hints()[0], files::kActionBackUp);
  EXPECT_EQ(state.PendingActionCount, 1u);
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{
      "2 action(s) done, 0 failed, 1 skipped.\nThe actions that failed or were skipped stay selected."});
  for (const char* name : {"b.txt", "c.txt"}) {
    EXPECT_EQ(drives.ReadFile(std::string("E:\\Work\\") + name), std::string("new ") + name);
    EXPECT_EQ(drives.ReadFile(std::string("C:\\Work\\") + name), "");
  }
  EXPECT_EQ(flags.OverwriteMode, files::kOverwriteSkip) << "the All answer ends with the run";
}

TEST_F(EngineTest, AnEmptiedSourceNeverOverwritesItsBackupCopy) {
  // A file backed up in an earlier session is empty beside its copy; backing it up again
  // must keep the copy, even with All chosen before, and counts it as backed up.
  drives.WriteFile("C:\\Work\\done.txt", "");
  drives.WriteFile("E:\\Work\\done.txt", "the only copy");
  drives.WriteFile("C:\\Work\\empty.txt", "");
  drives.WriteFile("E:\\Work\\empty.txt", "");
  const auto done = selection.AddFile("C:\\Work\\", "done.txt", 0, files::kActionBackUp, 'E');
  selection.AddFile("C:\\Work\\", "empty.txt", 0, files::kActionBackUp, 'E');
  flags.OverwriteMode = files::kOverwriteAll;

  EXPECT_TRUE(Run());

  EXPECT_EQ(drives.ReadFile("E:\\Work\\done.txt"), "the only copy");
  EXPECT_EQ(drives.ReadFile("C:\\Work\\done.txt"), "");
  EXPECT_EQ(State("C:\\Work\\", done), scan::kStateBackedUp);
  EXPECT_TRUE(progress.overwriteAsked.empty());
  EXPECT_EQ(state.PendingActionCount, 0u);
  EXPECT_EQ(progress.steps, 2);
}

TEST_F(EngineTest, StopInTheOverwritePromptChangesNothingMoreEvenAfterAnOverwrite) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    drives.WriteFile(std::string("C:\\Work\\") + name, "new");
    drives.WriteFile(std::string("E:\\Work\\") + name, "old");
    selection.AddFile("C:\\Work\\", name, 3, files::kActionBackUp, 'E');
  }
  // a: Overwrite. b: Stop, not confirmed, so b is asked about again: Stop, confirmed.
  progress.overwriteAnswers = {OverwriteAnswer::Overwrite, OverwriteAnswer::Stop, OverwriteAnswer::Stop};
  prompter.answers = {common::Answer::No, common::Answer::Yes};

  EXPECT_FALSE(Run());

  EXPECT_EQ(progress.overwriteAsked,
            (std::vector<std::string>{"E:\\Work\\a.txt", "E:\\Work\\b.txt", "E:\\Work\\b.txt"}));
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Are you sure want to stop processing files ?",
                                                        "Are you sure want to stop processing files ?",
                                                        "1 action(s) done, 0 failed, 1 skipped.\n"
                                                        "The actions that failed or were skipped stay selected."}));
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "new");
  for (const char* name : {"b.txt", "c.txt"}) {
    EXPECT_EQ(drives.ReadFile(std::string("C:\\Work\\") + name), "new") << name;
    EXPECT_EQ(drives.ReadFile(std::string("E:\\Work\\") + name), "old") << name;
  }
  EXPECT_EQ(State("C:\\Work\\", 1), scan::kStateNormal);
  EXPECT_EQ(Action("C:\\Work\\", 1), files::kActionBackUp);
  EXPECT_EQ(Action("C:\\Work\\", 2), files::kActionBackUp);
  EXPECT_EQ(state.PendingActionCount, 2u);
}

TEST_F(EngineTest, RestoreCopiesTheSavedFileBackAndKeepsTheCopy) {
  drives.WriteFile("C:\\Work\\a.txt", "");
  drives.WriteFile("E:\\Work\\a.txt", "saved text");
  const auto i = selection.AddFile("C:\\Work\\", "a.txt", 10, files::kActionRestore, 'E',
                                   scan::kStateBackedUp);

  EXPECT_TRUE(Run());

  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "saved text");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "saved text");
  EXPECT_EQ(State("C:\\Work\\", i), scan::kStateNormal);
  EXPECT_EQ(progress.actions.front(), "Restoriing file...");
}

TEST_F(EngineTest, RestoreAsksBeforeReplacingASourceWrittenSinceItsBackup) {
  // An All answered about back-up copies says nothing about files edited since.
  drives.WriteFile("C:\\Work\\a.txt", "new a");
  drives.WriteFile("E:\\Work\\a.txt", "old a");
  drives.WriteFile("C:\\Work\\report.txt", "NEW CONTENT");
  drives.WriteFile("E:\\Work\\report.txt", "old report");
  drives.WriteFile("C:\\Work\\stub.txt", "");
  drives.WriteFile("E:\\Work\\stub.txt", "saved");
  selection.AddFile("C:\\Work\\", "a.txt", 5, files::kActionBackUp, 'E');
  const auto report = selection.AddFile("C:\\Work\\", "report.txt", 11, files::kActionRestore, 'E',
                                        scan::kStateBackedUp);
  const auto stub = selection.AddFile("C:\\Work\\", "stub.txt", 0, files::kActionRestore, 'E',
                                      scan::kStateBackedUp);
  progress.overwriteAnswers = {OverwriteAnswer::All, OverwriteAnswer::Skip};

  EXPECT_FALSE(Run());

  EXPECT_EQ(progress.overwriteAsked,
            (std::vector<std::string>{"E:\\Work\\a.txt", "C:\\Work\\report.txt"}));
  EXPECT_EQ(progress.replacements,
            (std::vector<std::string>{"C:\\Work\\a.txt", "E:\\Work\\report.txt"}));
  EXPECT_EQ(drives.ReadFile("C:\\Work\\report.txt"), "NEW CONTENT");
  EXPECT_EQ(State("C:\\Work\\", report), scan::kStateBackedUp);
  EXPECT_EQ(Action("C:\\Work\\", report), files::kActionRestore);
  EXPECT_EQ(drives.ReadFile("C:\\Work\\stub.txt"), "saved") << "a stub is restored without asking";
  EXPECT_EQ(State("C:\\Work\\", stub), scan::kStateNormal);

  selection.selected = 1;
  progress.overwriteAnswers = {OverwriteAnswer::Overwrite};
  EXPECT_TRUE(Run());
  EXPECT_EQ(drives.ReadFile("C:\\Work\\report.txt"), "old report");
  EXPECT_EQ(State("C:\\Work\\", report), scan::kStateNormal);
}

// D:\Work scanned afresh into new records, as a rescan or a restart reads it.
struct Rescanned {
  Rescanned(platform::System& system, activity::AppState& state) {
    scan::NewEntry drive;
    drive.source = scan::kSourceDrive;
    drive.name = "D:";
    drive.kind = scan::kKindFolder;
    driveList.AddEntry(drive);
    scan_testing::RecordingStatus status;
    scan::ScanInPlace(*driveList.GetChild(0), false, system, state, status);
  }
  scan::CFolderInfo& Work() { return *driveList.GetChild(0)->GetChild(0); }
  std::uint32_t IndexOf(std::string_view name) {
    for (std::uint32_t i = 0; i < Work().Count(); ++i) {
      if (Work().names(i) == name) return i;
    }
    ADD_FAILURE() << name << " not scanned";
    return 0;
  }
  std::uint8_t State(std::string_view name) { return Work().states()[IndexOf(name)]; }
  // The hint of `name` once it has been written to since the database started long ago.
  std::uint8_t HintWhenBusy(std::string_view name) {
    activity::DriveRecord record;
    record.drive = 4;
    record.spanStart = files_test::Dos(2020, 1, 1);
    const std::uint32_t i = IndexOf(name);
    Work().SetActivity(i, scan::EntryActivity{.writeOnly = 1});
    return files::ComputeHint(Work(), i, 4096, files::HintDrive{&record, files_test::Dos(2026, 1, 1), true});
  }
  scan::CFolderInfo driveList;
};

TEST_F(EngineTest, ABackedUpFileIsKnownAgainAfterARescanAndARestart) {
  drives.WriteFile("D:\\Work\\stub.txt", "content");
  drives.WriteFile("D:\\Work\\empty.txt", "");
  selection.AddFile("D:\\Work\\", "stub.txt", 7, files::kActionBackUp, 'E');
  ASSERT_TRUE(Run());

  Rescanned rescan(drives.System(), state);
  EXPECT_EQ(rescan.State("stub.txt"), scan::kStateBackedUp);
  EXPECT_EQ(rescan.State("empty.txt"), scan::kStateNormal) << "an empty file is no stub";
  EXPECT_EQ(rescan.HintWhenBusy("stub.txt"), files::kHintRestore);
  EXPECT_EQ(rescan.HintWhenBusy("empty.txt"), files::kHintNone);

  // A restart: a new program, nothing kept but what is on the disk.
  platform::HostSystem restarted(drives.Environment());
  activity::AppState restartedState;
  EXPECT_EQ(Rescanned(restarted, restartedState).State("stub.txt"), scan::kStateBackedUp);

  // Restored, it is an ordinary file again, and so is a file emptied by hand later.
  selection.Record("D:\\Work\\").actions()[0] = files::kActionRestore;
  ASSERT_TRUE(Run());
  drives.WriteFile("D:\\Work\\stub.txt", "");
  EXPECT_EQ(Rescanned(drives.System(), state).State("stub.txt"), scan::kStateNormal);
}

TEST_F(EngineTest, StopConfirmedDuringTheFifthOfTenLeavesFiveSelected) {
  for (int n = 0; n < 10; ++n) {
    const std::string name = "f" + std::to_string(n) + ".txt";
    drives.WriteFile("C:\\Work\\" + name, "data");
    selection.AddFile("C:\\Work\\", name, 4, files::kActionBackUp, 'E');
  }
  testing_support::ScriptedPrompter stopQuestion;
  stopQuestion.answers = {common::Answer::Yes};
  int started = 0;
  progress.onFile = [&](const std::string&) {
    if (++started == 5) files::ConfirmStop(flags, stopQuestion);
  };

  EXPECT_FALSE(Run());

  EXPECT_EQ(state.PendingActionCount, 5u);
  EXPECT_EQ(progress.stoppedWith, std::vector<std::uint32_t>{5});
  EXPECT_EQ(progress.counts.back(), 5u);
  for (std::uint32_t n = 0; n < 10; ++n) {
    const std::string name = "f" + std::to_string(n) + ".txt";
    EXPECT_EQ(Action("C:\\Work\\", n), n < 5 ? 0 : files::kActionBackUp) << name;
    EXPECT_EQ(drives.ReadFile("C:\\Work\\" + name), n < 5 ? "" : "data") << name;
  }
  EXPECT_TRUE(prompter.asked.empty()) << "no final message while actions are left";
}

TEST_F(EngineTest, ARestoreWithoutItsCopyFailsAtOnceNamingItAndKeepsTheRow) {
  drives.WriteFile("C:\\Work\\a.txt", "never backed up");
  const auto i = selection.AddFile("C:\\Work\\", "a.txt", 15, files::kActionRestore, 'E');
  selection.Record("C:\\Work\\").hints()[i] = files::kActionCompress;
  prompter.answers = {common::Answer::Yes};

  EXPECT_FALSE(Run());

  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
      "Error Restoring file C:\\Work\\a.txt\nIts back-up copy E:\\Work\\a.txt does not exist.\n"
      "Do you wish to continue processing filse?",
      "0 action(s) done, 1 failed, 0 skipped.\nThe actions that failed or were skipped stay selected."}));
  EXPECT_TRUE(progress.overwriteAsked.empty());
  EXPECT_FALSE(drives.Exists("E:\\Work")) << "nothing is made for a copy that is not there";
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "never backed up");
  EXPECT_EQ(Action("C:\\Work\\", i), files::kActionRestore);
  EXPECT_EQ(selection.Record("C:\\Work\\").hints()[i], files::kActionCompress);
  EXPECT_EQ(state.PendingActionCount, 1u);
}

TEST_F(EngineTest, AFailedCopyAsksToContinueAndStillCountsTheEntry) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    drives.WriteFile(std::string("C:\\Work\\") + name, "keep me");
    selection.AddFile("C:\\Work\\", name, 7, files::kActionBackUp, 'E');
  }
  FaultySystem faulty(drives.System());
  faulty.Fail(Operation::Copy, {FileNamed("b.txt")});
  prompter.answers = {common::Answer::No};

  EXPECT_FALSE(Run(faulty));

  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
      "Error BackUping file C:\\Work\\b.txt\nCan't create file E:\\Work\\b.txt\n"
      "Do you wish to continue processing filse?",
      "1 action(s) done, 1 failed, 0 skipped.\nThe actions that failed or were skipped stay selected."}));
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::YesNo);
  EXPECT_EQ(drives.ReadFile("C:\\Work\\b.txt"), "keep me");
  EXPECT_EQ(Action("C:\\Work\\", 1), files::kActionBackUp) << "a failed entry stays selected";
  EXPECT_EQ(Action("C:\\Work\\", 2), files::kActionBackUp);
  EXPECT_EQ(progress.steps, 2);
  EXPECT_EQ(state.PendingActionCount, 2u);
  EXPECT_EQ(drives.ReadFile("C:\\Work\\c.txt"), "keep me");
}

TEST_F(EngineTest, AFailedFlushFailsTheCopyAndKeepsTheSource) {
  drives.WriteFile("C:\\Work\\a.txt", "keep");
  drives.MakeDirectory("E:\\Work");
  drives.WriteFile("C:\\New\\b.txt", "keep too");  // E:\New is made by the run
  selection.AddFile("C:\\Work\\", "a.txt", 4, files::kActionBackUp, 'E');
  selection.AddFile("C:\\New\\", "b.txt", 8, files::kActionBackUp, 'E');
  prompter.answers = {common::Answer::Yes, common::Answer::Yes};
  {
    // The copy's folder, and the folder holding the one the run creates.
    engine_test::FailingFlushes failing({drives.Root('E') + "/Work", drives.Root('E')});
    EXPECT_FALSE(Run());
  }

  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "keep");
  EXPECT_EQ(drives.ReadFile("C:\\New\\b.txt"), "keep too");
  EXPECT_EQ(State("C:\\Work\\", 0), scan::kStateNormal);
  EXPECT_EQ(State("C:\\New\\", 0), scan::kStateNormal);
  ASSERT_EQ(prompter.Texts().size(), 3u);
  EXPECT_EQ(prompter.Texts()[0].rfind("Error BackUping file C:\\Work\\a.txt\n", 0), 0u) << prompter.Texts()[0];
  EXPECT_EQ(prompter.Texts()[1].rfind("Error BackUping directory C:\\New\\\nCan't create directory E:\\New\\", 0), 0u)
      << prompter.Texts()[1];
}

TEST_F(EngineTest, AShortCopyNeverEmptiesTheSource) {
  drives.WriteFileOfSize("C:\\Work\\big.bin", 64 * 1024, 'z');
  selection.AddFile("C:\\Work\\", "big.bin", 64 * 1024, files::kActionBackUp, 'E');
  FaultySystem faulty(drives.System());
  faulty.ShortCopies();
  progress.overwriteAnswers = {OverwriteAnswer::Overwrite};
  prompter.answers = {common::Answer::Yes};

  EXPECT_FALSE(Run(faulty));

  EXPECT_EQ(drives.ReadFile("C:\\Work\\big.bin"), std::string(64 * 1024, 'z'));
  EXPECT_EQ(State("C:\\Work\\", 0), scan::kStateNormal);
  ASSERT_EQ(prompter.Texts().size(), 2u);
  EXPECT_EQ(prompter.Texts()[0].rfind("Error BackUping file C:\\Work\\big.bin", 0), 0u);
}

TEST_F(EngineTest, ABackupOntoTheSourceItselfFailsAndKeepsTheFile) {
  drives.WriteFile("C:\\Work\\a.txt", "only copy");
  selection.AddFile("C:\\Work\\", "a.txt", 9, files::kActionBackUp, 'C');
  prompter.answers = {common::Answer::Yes};

  EXPECT_FALSE(Run());

  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "only copy");
  EXPECT_EQ(State("C:\\Work\\", 0), scan::kStateNormal);
  EXPECT_TRUE(progress.overwriteAsked.empty());
  EXPECT_EQ(prompter.Texts()[0],
            "Error BackUping file C:\\Work\\a.txt\nCan't create file C:\\Work\\a.txt\n"
            "Do you wish to continue processing filse?");
}

TEST_F(EngineTest, NoBackupDriveLetterFailsWithTheFolderMessageAndTouchesNothing) {
  drives.WriteFile("C:\\Work\\a.txt", "content");
  drives.WriteFile("E:\\Work\\a.txt", "saved");
  selection.AddFile("C:\\Work\\", "a.txt", 7, files::kActionBackUp, 0);
  selection.AddFile("C:\\Work\\", "a.txt", 7, files::kActionRestore, 0, scan::kStateBackedUp);
  selection.AddFolder("C:\\Work\\", "Docs", files::kActionBackUp, 0);
  prompter.answers = {common::Answer::Yes, common::Answer::Yes, common::Answer::Yes};

  EXPECT_FALSE(Run());

  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
      "Error BackUping directory C:\\Work\\\nCan't create directory \n"
      "Do you wish to continue processing files?",
      "Error Restoring file C:\\Work\\a.txt\nCan't create file C:\\Work\\a.txt\n"
      "Do you wish to continue processing filse?",
      "Error BackUping directory C:\\Work\\Docs\nCan't create directory \n"
      "Do you wish to continue processing files?",
      "0 action(s) done, 3 failed, 0 skipped.\nThe actions that failed or were skipped stay selected."}));
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "content");
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "saved");
  EXPECT_FALSE(drives.Exists("C:\\Work\\Docs"));
  EXPECT_EQ(State("C:\\Work\\", 0), scan::kStateNormal);
}

TEST_F(EngineTest, FolderRulesCreateTheBackupFolderAndRootFilesAreBackedUp) {
  drives.WriteFile("C:\\Work\\Docs\\x.txt", "x");
  drives.WriteFile("C:\\root.txt", "r");
  const auto docs = selection.AddFolder("C:\\Work\\", "Docs", files::kActionBackUp, 'E');
  selection.AddFile("C:\\Work\\Docs\\", "x.txt", 1, files::kActionBackUp, 'E');
  selection.AddFile("C:\\", "root.txt", 1, files::kActionBackUp, 'E');

  EXPECT_TRUE(Run());

  EXPECT_EQ(State("C:\\Work\\", docs), scan::kStateBackedUp);
  EXPECT_EQ(drives.ReadFile("E:\\Work\\Docs\\x.txt"), "x");
  EXPECT_EQ(progress.actions[0], "Backuping directory...");
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{kAllProcessed});
  EXPECT_EQ(drives.ReadFile("E:\\root.txt"), "r");
  EXPECT_EQ(drives.ReadFile("C:\\root.txt"), "");
}

TEST_F(EngineTest, CompressionFailsSilentlyWhereTheFilesystemCannotCompress) {
  drives.WriteFile("C:\\Work\\a.txt", std::string(10000, 'a'));
  const auto i = selection.AddFile("C:\\Work\\", "a.txt", 10000, files::kActionCompress);
  selection.AddFolder("C:\\Work\\", "Sub", files::kActionDecompress);
  drives.MakeDirectory("C:\\Work\\Sub");

  EXPECT_FALSE(Run());

  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{
      "0 action(s) done, 2 failed, 0 skipped.\nThe actions that failed or were skipped stay selected."});
  EXPECT_EQ(State("C:\\Work\\", i), scan::kStateNormal);
  EXPECT_EQ(Action("C:\\Work\\", i), files::kActionCompress);
  EXPECT_EQ(selection.Record("C:\\Work\\").compressedSizes()[i], 10000u);
  EXPECT_EQ(progress.steps, 2);
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), std::string(10000, 'a'));
}

TEST_F(EngineTest, EnsureFolderCreatesMissingParentsAndAcceptsOnlyMappedRoots) {
  ActionEngine engine(drives.System(), state.PendingActionCount, flags, prompter, progress);
  EXPECT_TRUE(engine.EnsureFolder("E:\\A\\B\\C\\"));
  EXPECT_TRUE(drives.Exists("E:\\A\\B\\C"));
  EXPECT_TRUE(engine.EnsureFolder("E:\\"));
  EXPECT_FALSE(engine.EnsureFolder("Q:\\"));
  EXPECT_FALSE(engine.EnsureFolder("Q:\\Nowhere"));
  EXPECT_FALSE(engine.EnsureFolder(""));
}

}  // namespace
