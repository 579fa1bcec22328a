// The background program: plans from a hand-off file, refuses bad ones whole, and
// performs the actions through the action engine.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>

#include "files/action_engine.h"
#include "platform/default_drives.h"
#include "shell/handoff_actions.h"
#include "shell/handoff_file.h"
#include "shell/scripted_prompter.h"
#include "support/deep_records.h"
#include "support/silent_progress.h"
#include "support/temp_drives.h"
#include "support/tmpfs_drive.h"

namespace {

using shell::HandOffEntry;
using shell::HandOffTable;

HandOffTable Table(std::vector<HandOffEntry> entries) {
  HandOffTable table;
  table.count = static_cast<std::uint32_t>(entries.size());
  table.entries = std::move(entries);
  return table;
}

TEST(PlanHandOff, BuildsTheTreeThatEncodesBackToTheSameFile) {
  testing_support::TempDrives drives("CDE");
  const HandOffTable table = Table({
      {"D:\\Work", files::kActionBackUp, scan::kKindFolder, 'E'},
      {"D:\\Work\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'},
      {"D:\\Work\\b.txt", files::kActionCompress, scan::kKindFile, 0},
      {"E:\\x.bin", files::kActionRestore, scan::kKindFile, 'D'},
  });
  std::string error;
  const auto plan = shell::PlanHandOff(table, drives.System(), &error);
  ASSERT_TRUE(plan) << error;
  ASSERT_EQ(plan->actions.size(), 4u);
  EXPECT_EQ(plan->actions[1].record->path(), "D:\\Work\\");
  const auto bytes = shell::EncodeHandOff(*plan->driveList, table.count);
  const auto decoded = shell::DecodeHandOff(bytes, &error);
  ASSERT_TRUE(decoded) << error;
  EXPECT_EQ(decoded->entries, table.entries);
}

TEST(PlanHandOff, RefusesWholeFilesWithABadEntry) {
  testing_support::TempDrives drives("CD");
  const auto refused = [&](HandOffTable table) {
    std::string error;
    const bool planned = shell::PlanHandOff(table, drives.System(), &error).has_value();
    EXPECT_FALSE(error.empty());
    return !planned;
  };
  const HandOffEntry good{"D:\\a.txt", files::kActionCompress, scan::kKindFile, 0};
  EXPECT_TRUE(refused(Table({good, {"Q:\\a.txt", files::kActionCompress, scan::kKindFile, 0}})));
  EXPECT_TRUE(refused(Table({{"D:\\w\\..\\..\\etc", files::kActionCompress, scan::kKindFile, 0}})));
  EXPECT_TRUE(refused(Table({{"D:\\w\\.\\a", files::kActionCompress, scan::kKindFile, 0}})));
  // A path through something the same file calls a file.
  EXPECT_TRUE(refused(Table({good, {"D:\\a.txt\\b", files::kActionCompress, scan::kKindFile, 0}})));
  HandOffTable miscounted = Table({good});
  miscounted.count = 7;
  EXPECT_TRUE(refused(miscounted));
}

// The deepest path a hand-off file can name (65,535 bytes: 32,766 levels): planned,
// written back, performed and freed without a stack frame per level.
TEST(PlanHandOff, AChainAsDeepAsAPathCanNameIsPlannedPerformedAndFreed) {
  testing_support::TempDrives drives("CD");
  testing_support::RunOnSmallStack([&drives] {
    std::string path = "D:";
    while (path.size() + 2 <= 0xFFFF) path += "\\a";
    const HandOffTable table = Table({{path, files::kActionCompress, scan::kKindFile, 0}});
    std::string error;
    auto plan = shell::PlanHandOff(table, drives.System(), &error);
    ASSERT_TRUE(plan) << error;
    EXPECT_EQ(shell::DecodeHandOff(shell::EncodeHandOff(*plan->driveList, 1), &error)->entries,
              table.entries);

    std::atomic<std::uint32_t> pending{1};
    files::ActionRunFlags flags;
    flags.ProcessingOn = 1;
    testing_support::ScriptedPrompter prompter;
    testing_support::SilentProgress progress;
    files::ActionEngine(drives.System(), pending, flags, prompter, progress).ActionWorker(*plan->driveList);
    EXPECT_FALSE(plan->actions[0].Succeeded());  // no such file, far too long a path for the host
    plan.reset();
  });
}

// norvex-shadow itself, on a file the program's own writer made.
class ShadowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    char self[4096];
    const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir(self, static_cast<std::size_t>(std::max<ssize_t>(size, 0)));
    dir = dir.substr(0, dir.rfind('/'));
    tool_ = dir.substr(0, dir.rfind('/')) + "/tools/norvex-shadow";
    if (::access(tool_.c_str(), X_OK) != 0) GTEST_SKIP() << "build norvex-shadow first";
  }
  void Write(const HandOffTable& table) {
    std::string error;
    const auto plan = shell::PlanHandOff(table, drives_.System(), &error);
    ASSERT_TRUE(plan) << error;
    ASSERT_TRUE(shell::WriteHandOffFile(drives_.Dir(), shell::EncodeHandOff(*plan->driveList, table.count)));
  }
  // Runs norvex-shadow, through `launcher` when one is given (a command that runs the
  // words after it).
  int Run(const std::string& extra, std::string* out = nullptr, const std::string& launcher = "") {
    const auto& env = drives_.Environment();
    const std::string command = "cd '" + drives_.Dir() + "' && " + launcher + " '" + tool_ + "' --drives '" +
                                env.drives.ToString() + "' --state-dir '" + env.stateDir +
                                "' --config-dir '" + env.configDir + "' " + extra + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string text;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    const int status = ::pclose(pipe);
    if (out) *out = text;
    return WEXITSTATUS(status);
  }
  bool HandOffExists(const char* name) {
    return ::access((drives_.Dir() + "/" + name).c_str(), F_OK) == 0;
  }

  testing_support::TempDrives drives_{"CDE"};
  std::string tool_;
};

TEST_F(ShadowRun, BacksUpAndRenamesTheFileSoNothingRunsTwice) {
  drives_.WriteFile("D:\\Work\\a.txt", "precious");
  Write(Table({{"D:\\Work\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'}}));
  std::string out;
  EXPECT_EQ(Run("--dry-run", &out), 0) << out;
  EXPECT_EQ(drives_.ReadFile("D:\\Work\\a.txt"), "precious");  // a dry run touches nothing
  EXPECT_TRUE(HandOffExists("ShadowTbl.NVX"));

  EXPECT_EQ(Run("", &out), 0) << out;
  EXPECT_EQ(drives_.ReadFile("E:\\Work\\a.txt"), "precious");
  EXPECT_EQ(drives_.ReadFile("D:\\Work\\a.txt"), "");
  EXPECT_NE(out.find("1 actions succeeded, 0 failed"), std::string::npos) << out;
  EXPECT_FALSE(HandOffExists("ShadowTbl.NVX"));
  EXPECT_TRUE(HandOffExists("ShadowTbl.NVX.done"));
}

TEST_F(ShadowRun, ADryRunReportsASourceThatDoesNotExist) {
  // As when the file was made over other drives than these: nothing of it is here.
  drives_.WriteFile("D:\\w\\here.txt", "x");
  Write(Table({{"D:\\w\\here.txt", files::kActionBackUp, scan::kKindFile, 'E'},
               {"D:\\w\\gone.txt", files::kActionBackUp, scan::kKindFile, 'E'},
               {"D:\\w\\stub.txt", files::kActionRestore, scan::kKindFile, 'E'}}));
  std::string out;
  EXPECT_EQ(Run("--dry-run", &out), 1) << out;
  EXPECT_EQ(out.find("missing: D:\\w\\here.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("missing: D:\\w\\gone.txt (" + drives_.Host("D:\\w\\gone.txt") + ") does not exist"),
            std::string::npos) << out;
  EXPECT_NE(out.find("would restore D:\\w\\stub.txt from E:\\w\\stub.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("missing: E:\\w\\stub.txt"), std::string::npos) << out;
  EXPECT_NE(out.find("2 of them missing"), std::string::npos) << out;
  EXPECT_TRUE(HandOffExists("ShadowTbl.NVX"));
}

TEST_F(ShadowRun, AnExistingCopyOrAnEditedSourceIsKeptUnlessToldToOverwrite) {
  drives_.WriteFile("D:\\w\\a.txt", "new");
  drives_.WriteFile("E:\\w\\a.txt", "old");
  drives_.WriteFile("D:\\w\\report.txt", "NEW CONTENT");
  drives_.WriteFile("E:\\w\\report.txt", "old report");
  const HandOffTable table = Table({{"D:\\w\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'},
                                    {"D:\\w\\report.txt", files::kActionRestore, scan::kKindFile, 'E'}});
  Write(table);
  std::string out;
  EXPECT_EQ(Run("--overwrite skip", &out), 1);  // skipped is not done
  EXPECT_EQ(drives_.ReadFile("E:\\w\\a.txt"), "old");
  EXPECT_EQ(drives_.ReadFile("D:\\w\\a.txt"), "new");
  EXPECT_EQ(drives_.ReadFile("D:\\w\\report.txt"), "NEW CONTENT");
  EXPECT_NE(out.find("D:\\w\\report.txt exists: skipped"), std::string::npos) << out;
  EXPECT_NE(out.find("failed: restore D:\\w\\report.txt"), std::string::npos) << out;

  Write(table);
  EXPECT_EQ(Run("--overwrite all"), 0);
  EXPECT_EQ(drives_.ReadFile("E:\\w\\a.txt"), "new");
  EXPECT_EQ(drives_.ReadFile("D:\\w\\a.txt"), "");
  EXPECT_EQ(drives_.ReadFile("D:\\w\\report.txt"), "old report");
}

TEST_F(ShadowRun, AFailedActionFailsTheRunAndAMalformedFilePerformsNothing) {
  drives_.WriteFile("D:\\a.txt", "keep");
  Write(Table({{"D:\\missing.txt", files::kActionRestore, scan::kKindFile, 'E'}}));
  EXPECT_EQ(Run(""), 1);

  // A valid first record followed by a truncated second one.
  auto bytes = shell::EncodeHandOff(*shell::PlanHandOff(
      Table({{"D:\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'},
             {"D:\\b.txt", files::kActionBackUp, scan::kKindFile, 'E'}}), drives_.System(), nullptr)->driveList, 2);
  bytes.resize(bytes.size() - 2);
  ASSERT_TRUE(shell::WriteHandOffFile(drives_.Dir(), bytes));
  std::string out;
  EXPECT_EQ(Run("", &out), 1);
  EXPECT_NE(out.find("nothing was performed"), std::string::npos) << out;
  EXPECT_EQ(drives_.ReadFile("D:\\a.txt"), "keep");
  EXPECT_FALSE(drives_.Exists("E:\\a.txt"));
  EXPECT_TRUE(HandOffExists("ShadowTbl.NVX"));
}

// A back-up disk mounted when the hand-off was made and gone when norvex-shadow starts,
// on a mount point the filesystem table names: nothing goes onto the bare folder.
TEST_F(ShadowRun, ABackUpDiskThatIsGoneIsNamedAndNothingIsTouched) {
  testing_support::TmpfsDrive backup(drives_, 'E', "16m");
  if (!backup.Mounted()) GTEST_SKIP() << backup.WhyNot();
  drives_.WriteFile("D:\\Work\\a.txt", "precious");
  Write(Table({{"D:\\Work\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'}}));
  backup.Unmount();
  const std::string fstab = drives_.Dir() + "/fstab";
  std::ofstream(fstab) << "tmpfs " << drives_.Root('E') << " tmpfs defaults 0 0\n";
  // The table is this machine's /etc/fstab in a mount namespace of norvex-shadow's own.
  const std::string withTable = "unshare --mount --propagation private sh -c "
                                "'mount --bind \"$0\" /etc/fstab && exec \"$@\"' '" + fstab + "'";
  std::string out;
  const int status = Run("", &out, withTable);
  if (out.starts_with("unshare:") || out.starts_with("mount:")) GTEST_SKIP() << out;
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("E: (" + drives_.Root('E') + ") is not mounted"), std::string::npos) << out;
  EXPECT_NE(out.find("0 actions succeeded, 1 failed"), std::string::npos) << out;
  EXPECT_EQ(drives_.ReadFile("D:\\Work\\a.txt"), "precious");
  EXPECT_FALSE(drives_.Exists("E:\\Work"));
}

// Gone with no line in the filesystem table, the back-up disk leaves a bare folder that
// looks like any other: the filesystem kept for its letter tells them apart.
TEST_F(ShadowRun, ABackUpDiskGoneWithoutAFilesystemTableLineIsNotItsBareFolder) {
  testing_support::TmpfsDrive backup(drives_, 'E', "16m");
  if (!backup.Mounted()) GTEST_SKIP() << backup.WhyNot();
  // What the program's start keeps for its letters, the disk there.
  platform::CheckGivenDrives(drives_.Environment().stateDir, drives_.Environment().drives);
  drives_.WriteFile("D:\\Work\\a.txt", "precious");
  Write(Table({{"D:\\Work\\a.txt", files::kActionBackUp, scan::kKindFile, 'E'}}));
  backup.Unmount();
  std::string out;
  EXPECT_EQ(Run("", &out), 1) << out;
  EXPECT_NE(out.find("E: (" + drives_.Root('E') + ") is not the filesystem E: stood for before"), std::string::npos)
      << out;
  EXPECT_EQ(drives_.ReadFile("D:\\Work\\a.txt"), "precious");
  EXPECT_FALSE(drives_.Exists("E:\\Work"));
}

}  // namespace
