// The close sequence: refusal during a scan, the hand-off, and the database work
// between the recorder's hold and release.

#include <gtest/gtest.h>

#include "activity/access_tables.h"
#include "activity/recorder_control.h"
#include "scan/folder_info.h"
#include "shell/handoff_file.h"
#include "shell/scripted_prompter.h"
#include "shell/shutdown.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"

namespace shell {
namespace {

using testing_support::FaultRule;
using testing_support::FileNamed;
using testing_support::Operation;

class ShutdownTest : public ::testing::Test {
 protected:
  ShutdownTest() : system(drives.System()) {
    EXPECT_TRUE(state.driveTable.Load(drives.System()));
    driveList.AddEntry({scan::kSourceDrive, "C:", 0, 0, 0, scan::kKindFolder});
    scan::CFolderInfo& c = *driveList.GetChild(0);
    c.AddEntry({'C', "a.txt", 1, 1, 4096, scan::kKindFile});
    c.AddEntry({'C', "b.txt", 1, 1, 4096, scan::kKindFile});
  }
  bool Close() {
    return RunShutdown({state, system, prompter, &driveList, {}, drives.Dir()});
  }
  void SelectBoth() {
    driveList.GetChild(0)->actions()[0] = 1;
    driveList.GetChild(0)->actions()[1] = 2;
    state.PendingActionCount = 2;
  }
  std::string HandOff() const { return drives.Dir() + "/ShadowTbl.NVX"; }
  bool HandOffExists() const { return ::access(HandOff().c_str(), F_OK) == 0; }

  testing_support::TempDrives drives{"CD"};
  testing_support::FaultySystem system;
  testing_support::ScriptedPrompter prompter;
  activity::AppState state;
  scan::CFolderInfo driveList;
  const std::vector<std::uint32_t> holdAndRelease = {activity::IOCTL_RECORDER_HOLD,
                                                     activity::IOCTL_RECORDER_RELEASE};
};

TEST_F(ShutdownTest, RefusedDuringScanWithNothingElse) {
  SelectBoth();
  state.ScanInProgress = true;
  EXPECT_FALSE(Close());
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Stop scanning first !"});
  EXPECT_TRUE(system.RecorderCodes().empty());
  EXPECT_FALSE(HandOffExists());
}

TEST_F(ShutdownTest, NoActionsAsksNothingAndWritesNoHandOff) {
  state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), 0);
  EXPECT_TRUE(Close());
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_FALSE(HandOffExists());
  EXPECT_EQ(system.RecorderCodes(), holdAndRelease);
  EXPECT_TRUE(drives.Exists("C:\\FileTblD.NVX"));
  activity::DriveTable saved;
  ASSERT_TRUE(saved.Load(drives.System()));
  EXPECT_EQ(saved.OldState().size(), 1u);
}

TEST_F(ShutdownTest, DecliningKeepsRunningWithTheSelection) {
  SelectBoth();
  prompter.answers = {common::Answer::No};
  EXPECT_FALSE(Close());
  EXPECT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::YesNo);
  EXPECT_EQ(state.PendingActionCount, 2u);
  EXPECT_TRUE(system.RecorderCodes().empty());
  EXPECT_FALSE(HandOffExists());
}

TEST_F(ShutdownTest, AcceptingHandsOffTheActions) {
  SelectBoth();
  prompter.answers = {common::Answer::Yes, common::Answer::Ok};
  EXPECT_TRUE(Close());
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{
      kPendingActionsQuestion, std::string(kRunShadowNote) + "\nThe actions wait in " + HandOff()}));
  std::string error;
  const auto table = ReadHandOffFile(HandOff(), &error);
  ASSERT_TRUE(table) << error;
  EXPECT_EQ(table->count, 2u);
  ASSERT_EQ(table->entries.size(), 2u);
  EXPECT_EQ(table->entries[0], (HandOffEntry{"C:\\a.txt", 1, 15, 0}));
  EXPECT_EQ(table->entries[1], (HandOffEntry{"C:\\b.txt", 2, 15, 0}));
  EXPECT_EQ(system.RecorderCodes(), holdAndRelease);
}

TEST_F(ShutdownTest, UnwritableHandOffIsReportedAndTheCloseGoesOn) {
  SelectBoth();
  prompter.answers = {common::Answer::Yes, common::Answer::Ok, common::Answer::Ok};
  EXPECT_TRUE(RunShutdown({state, system, prompter, &driveList, {}, drives.Dir() + "/missing"}));
  EXPECT_EQ(prompter.Texts().back(), "Can't open file 'ShadowTbl.NVX'.");
  EXPECT_EQ(prompter.Texts()[1], kRunShadowNote) << "no file is named where none was written";
  EXPECT_EQ(system.RecorderCodes(), holdAndRelease);
}

TEST_F(ShutdownTest, FailedSaveRetriesThenStaysOpenHeldAndDoesNotRepeatTheWork) {
  state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), 0);
  system.Fail(Operation::Move, FaultRule{FileNamed("DriveTbl.NVX")});
  prompter.answers = {common::Answer::Retry, common::Answer::Abort};
  EXPECT_FALSE(Close());
  EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{kCantSaveConfiguration, kCantSaveConfiguration}));
  EXPECT_EQ(prompter.asked[0].defaultButton, common::Answer::Retry);
  EXPECT_EQ(system.RecorderCodes(), std::vector<std::uint32_t>{activity::IOCTL_RECORDER_HOLD});
  ASSERT_TRUE(drives.Exists("C:\\FileTblD.NVX"));

  // The recorder may fill the database meanwhile; a second close must not recreate it.
  drives.WriteFile("C:\\FileTblD.NVX", "recorded");
  system.Reset();
  prompter.asked.clear();
  EXPECT_TRUE(Close());
  EXPECT_EQ(drives.ReadFile("C:\\FileTblD.NVX"), "recorded");
}

// While the program runs, the recorder writes its counts into the same table: the exit
// puts the program's own edits on the file as it now is, not the copy loaded at start.
TEST_F(ShutdownTest, ExitWritesOnlyTheProgramsEditsOverWhatTheRecorderWrote) {
  const auto tableOf = [](const std::vector<activity::DriveRecord>& records) {
    std::string bytes;
    for (const activity::DriveRecord& record : records) {
      const auto one = record.Serialize();
      bytes.append(one.begin(), one.end());
    }
    return bytes;
  };
  activity::DriveRecord c, d;
  c.drive = activity::DriveNumber('C');
  d.drive = activity::DriveNumber('D');
  d.namesState = 0;  // D: stores names
  drives.WriteFile("C:\\DriveTbl.NVX", tableOf({c, d}));
  ASSERT_TRUE(state.driveTable.Load(system));
  state.driveTable.NewState()[1].spanEnd = 0x5B010000;  // the user's edit

  c.recordsInUse = 3;  // what the recorder counted meanwhile
  d.recordsInUse = 1;
  d.namesState = 12;
  d.reserved[0] = 7;
  drives.WriteFile("C:\\DriveTbl.NVX", tableOf({c, d}));
  EXPECT_TRUE(Close());
  d.spanEnd = 0x5B010000;
  EXPECT_EQ(drives.ReadFile("C:\\DriveTbl.NVX"), tableOf({c, d}));
}

TEST_F(ShutdownTest, ExitAfterFailedStartupStillSavesAndReleases) {
  state.driveTable.AppendDefaultRecord(activity::DriveNumber('C'), 0);
  EXPECT_TRUE(RunShutdown({state, system, prompter, nullptr, {}, drives.Dir()}));
  EXPECT_EQ(system.RecorderCodes(), holdAndRelease);
  activity::DriveTable saved;
  ASSERT_TRUE(saved.Load(drives.System()));
  EXPECT_EQ(saved.OldState().size(), 1u);
}

}  // namespace
}  // namespace shell
