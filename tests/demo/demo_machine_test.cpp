// The demo machine: a realistic data drive whose database the program reads, and whose
// Files list shows every gauge level and every hint its filesystem allows.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <algorithm>
#include <ctime>
#include <set>
#include <sstream>
#include <string>

#include "activity/access_tables.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "files/action_codes.h"
#include "files/action_engine.h"
#include "files/hint_refresh.h"
#include "files/list_format.h"
#include "platform/environment.h"
#include "platform/host_system.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "activity/app_state.h"
#include "demo/demo_machine.h"
#include "shell/startup.h"
#include "common/silent_status.h"
#include "support/silent_progress.h"
#include "support/temp_drives.h"
#include "shell/scripted_prompter.h"

namespace {

platform::Environment DemoEnvironment(const demo::DemoMachine& machine) {
  platform::Environment environment;
  environment.stateDir = machine.stateDir;
  environment.configDir = machine.configDir;
  environment.recorderSocket = machine.folder + "/none.sock";
  environment.drives = *platform::DriveMap::Parse(machine.drives);
  return environment;
}

// What the Files list shows over all of D:'s folders, by the list's own row code.
struct DataDriveView {
  std::set<std::string> hintLetters;  // "C", "D", "B", "R"; blanks left out
  std::set<int> gaugeLevels;
  std::set<std::string> lastOperations;
  int dataDriveRecords = 0;  // D: records in the drive table after start-up
  bool compressible = false;
  std::uint32_t compressedFiles = 0;
  std::string busyLogHintAfterBackUp;
};

// Backs up a busy log to E: the way "Perform actions" does and answers its new hint.
std::string HintAfterBackingUp(scan::CFolderInfo& driveList, const std::string& folder,
                               const std::string& name, platform::System& system,
                               activity::AppState& state, common::Prompter& prompter) {
  scan::CFolderInfo& record = scan::RecordForPath(driveList, folder);
  std::uint32_t i = 0;
  while (i < record.Count() && record.names(i) != name) ++i;
  if (i == record.Count()) return "missing";
  record.actions()[i] = files::kActionBackUp;
  record.backupDrives()[i] = 'E';
  state.PendingActionCount = 1;
  files::ActionRunFlags flags;
  flags.ProcessingOn = 1;
  testing_support::SilentProgress progress;
  files::ActionEngine engine(system, state.PendingActionCount, flags, prompter, progress);
  if (!engine.ActionWorker(driveList) || record.states()[i] != scan::kStateBackedUp) return "not backed up";
  files::RefreshHints(driveList, state, system);
  return files::ActionLetter(record.hints()[i]);
}

void CollectRows(const scan::CFolderInfo& record, DataDriveView& view) {
  for (const files::ListRow& row : files::MakeRows(record)) {
    if (const std::string letter = files::ActionLetter(row.hint); letter != " ") {
      view.hintLetters.insert(letter);
    }
    view.gaugeLevels.insert(row.activityLevel);
    if (!row.IsFolder()) {
      if (row.state == scan::kStateCompressed) ++view.compressedFiles;
      if (row.lastAccess != 0) view.lastOperations.insert(files::CellText(row, activity::kSortLastOperation));
    }
  }
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (const scan::CFolderInfo* child = record.GetChild(i)) CollectRows(*child, view);
  }
}

// Starts the program's core on the demo as its first run would, scans D: and refreshes
// the hints, the way the window does after its start-up scan.
DataDriveView ViewDataDrive(const demo::DemoMachine& machine) {
  platform::HostSystem system(DemoEnvironment(machine));
  activity::AppState state;
  testing_support::ScriptedPrompter prompter;
  testing_support::MemoryOptionStore options;  // empty: the program's first run
  DataDriveView view;
  if (shell::RunFrameStartup(state, system, prompter, options) != shell::StartupOutcome::Ready) {
    ADD_FAILURE() << "start-up refused the demo's databases";
    return view;
  }
  for (const activity::DriveRecord& record : state.driveTable.NewState()) {
    if (record.drive == activity::DriveNumber(demo::kDemoDataDrive)) ++view.dataDriveRecords;
  }
  view.compressible = state.CompressibleDrive[static_cast<std::size_t>(activity::DriveIndex('D'))];
  scan::CFolderInfo driveList;
  scan::CFolderInfo& root = scan::RecordForPath(driveList, "D:\\");
  common::SilentStatus status;
  scan::ScanInPlace(root, false, system, state, status);
  files::RefreshHints(driveList, state, system);
  CollectRows(root, view);
  view.busyLogHintAfterBackUp =
      HintAfterBackingUp(driveList, "D:\\Logs\\", "Logs 2.log", system, state, prompter);
  return view;
}

std::set<int> AllGaugeLevels() {
  std::set<int> levels;
  for (int level = 0; level <= 12; ++level) levels.insert(level);
  return levels;
}

TEST(DemoMachine, BuildsDrivesAndActivityThatTheProgramReads) {
  testing_support::TempDrives scratch("C");
  std::string error;
  const auto machine = demo::BuildDemoMachine(scratch.Dir(), std::time(nullptr), false, &error);
  ASSERT_TRUE(machine) << error;
  EXPECT_FALSE(machine->dataImage);
  EXPECT_EQ(machine->compressed, 0u);
  EXPECT_GE(machine->files, 2000u);
  EXPECT_GE(machine->recorded, machine->files / 3);
  EXPECT_LT(machine->recorded, machine->files);  // some files were never opened

  platform::HostSystem system(DemoEnvironment(*machine));
  activity::DriveTable table;
  ASSERT_TRUE(table.Load(system));
  ASSERT_EQ(table.NewState().size(), 1u);
  EXPECT_EQ(table.NewState().front().recordsInUse, machine->recorded);
  activity::AccessTables tables;
  ASSERT_TRUE(tables.Load(system, 'D', table.NewState().front()));
  std::set<int> lastOperations;
  for (int i = 1; i <= 12; ++i) {
    const auto record = tables.RecordOrZero(
        'D', activity::PathKey("D:\\Disk Images\\Disk Images " + std::to_string(i) +
                                   (i % 2 ? ".iso" : ".img"), {}));
    EXPECT_NE(record.total, 0u) << i;
    lastOperations.insert(record.lastOperation);
  }
  EXPECT_EQ(lastOperations, (std::set<int>{0, 1, 2, 3, 4}));
  const auto log = tables.RecordOrZero('D', activity::PathKey("D:\\Logs\\Logs 2.log", {}));
  EXPECT_GT(log.writeOnly, 100 * log.readOnly);
}

// A plain folder cannot compress: no file is compressed, so no "D", and "C" is never
// offered; the back-up hint and every gauge level still show, and "R" once a busy file
// has been backed up.
TEST(DemoMachine, PlainDataDriveShowsEveryLevelAndTheBackUpHint) {
  testing_support::TempDrives scratch("C");
  std::string error;
  const auto machine = demo::BuildDemoMachine(scratch.Dir(), std::time(nullptr), false, &error);
  ASSERT_TRUE(machine) << error;
  const DataDriveView view = ViewDataDrive(*machine);
  EXPECT_EQ(view.dataDriveRecords, 1) << "the first run added a second record for D:";
  EXPECT_EQ(view.hintLetters, (std::set<std::string>{"B"}));
  EXPECT_EQ(view.gaugeLevels, AllGaugeLevels());
  EXPECT_EQ(view.lastOperations, (std::set<std::string>{"R", "W", "RW", "E", "S"}));
  EXPECT_EQ(view.busyLogHintAfterBackUp, "R");
}

// On a btrfs image the busy compressed files ask to be decompressed and the idle
// uncompressed ones to be compressed, beside the back-up hint.
TEST(DemoMachine, CompressibleDataDriveShowsTheCompressionHintsToo) {
  testing_support::TempDrives scratch("C");
  std::string error;
  auto machine = demo::BuildDemoMachine(scratch.Dir(), std::time(nullptr), true, &error);
  ASSERT_TRUE(machine) << error;
  if (!machine->dataImage) {
    GTEST_SKIP() << "the data drive could not be a btrfs image: " << machine->whyNotCompressible;
  }
  const DataDriveView view = ViewDataDrive(*machine);
  EXPECT_TRUE(view.compressible);
  EXPECT_EQ(view.dataDriveRecords, 1);
  EXPECT_EQ(view.compressedFiles, machine->compressed);
  EXPECT_GT(machine->compressed, machine->files / 10);
  EXPECT_EQ(view.hintLetters, (std::set<std::string>{"C", "D", "B"}));
  EXPECT_EQ(view.gaugeLevels, AllGaugeLevels());
  EXPECT_EQ(view.busyLogHintAfterBackUp, "R");

  const std::string mountPoint = machine->dataImage->MountPoint();
  EXPECT_TRUE(platform::IsMountPoint(mountPoint));
  {
    demo::DemoSession session(std::move(*machine));
  }
  EXPECT_FALSE(platform::IsMountPoint(mountPoint)) << "the demo left its data drive mounted";
}

// The demo's drives go with its folder at exit: a hand-off file naming them must go with
// them, never into the current folder, where the background program would map the same
// letters to other folders.
TEST(DemoMachine, TheHandOffFileGoesIntoTheDemosOwnFolder) {
  testing_support::TempDrives scratch("C");
  const char* tmp = std::getenv("TMPDIR");
  const std::string savedTmp = tmp != nullptr ? tmp : "";
  ::setenv("TMPDIR", scratch.Dir().c_str(), 1);
  std::vector<std::string> args{"--demo", "--splash-seconds", "0"};
  std::ostringstream err;
  std::unique_ptr<demo::DemoSession> session;
  const bool applied = demo::ApplyDemoArgument(args, err, session);
  if (tmp != nullptr) ::setenv("TMPDIR", savedTmp.c_str(), 1); else ::unsetenv("TMPDIR");
  ASSERT_TRUE(applied) << err.str();
  const std::string said = err.str();
  const std::string intro = "demo machine in ";
  const std::size_t named = said.find(intro);
  ASSERT_NE(named, std::string::npos) << said;
  const std::size_t start = named + intro.size();
  const std::string folder = said.substr(start, said.find(" (", start) - start);
  const auto option = std::find(args.begin(), args.end(), "--handoff-dir");
  ASSERT_NE(option, args.end());
  ASSERT_NE(option + 1, args.end());
  EXPECT_EQ(option[1], folder);
  EXPECT_NE(err.str().find(folder + "/ShadowTbl.NVX"), std::string::npos) << err.str();
  EXPECT_EQ(args.back(), "0") << "the user's own arguments follow";
}

}  // namespace

namespace {

// Builds a demo with a btrfs data drive in a child process that then ends by
// `ending`; answers the child's wait status, or -1 when the child could not build.
int BuildDemoInChildAndEnd(const std::string& parent, void (*ending)(demo::DemoMachine&)) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::string error;
    auto machine = demo::BuildDemoMachine(parent, std::time(nullptr), true, &error);
    if (!machine || !machine->dataImage) ::_exit(3);
    ending(*machine);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 3 ? -1 : status;
}

std::vector<std::string> DemoFolders(const std::string& parent) {
  std::vector<std::string> folders;
  for (const auto& entry : std::filesystem::directory_iterator(parent)) {
    if (entry.path().filename().string().starts_with("norvex-demo-")) folders.push_back(entry.path());
  }
  return folders;
}

TEST(DemoMachine, ProgramsThatEndAbruptlyLeaveNoMountAndTheirFoldersGoLater) {
  testing_support::TempDrives scratch("C");
  const std::string parent = scratch.Dir();
  // Terminated while the demo runs: the signal detaches the data drive first.
  const int terminated = BuildDemoInChildAndEnd(parent, [](demo::DemoMachine& machine) {
    demo::DemoSession session(std::move(machine));
    ::raise(SIGTERM);
  });
  if (terminated == -1) GTEST_SKIP() << "the data drive could not be a btrfs image";
  EXPECT_TRUE(WIFSIGNALED(terminated) && WTERMSIG(terminated) == SIGTERM);
  std::vector<std::string> folders = DemoFolders(parent);
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_FALSE(platform::IsMountPoint(folders[0] + "/data"));

  // Killed outright: the mount stays until the next demo removes the folder.
  ASSERT_EQ(BuildDemoInChildAndEnd(parent, [](demo::DemoMachine&) { ::_exit(0); }), 0);
  folders = DemoFolders(parent);
  ASSERT_EQ(folders.size(), 2u);
  const bool oneMounted = platform::IsMountPoint(folders[0] + "/data") ||
                          platform::IsMountPoint(folders[1] + "/data");
  EXPECT_TRUE(oneMounted);

  // A live demo's folder (this process's) and a folder without an owner stay.
  std::string error;
  const auto live = demo::BuildDemoMachine(parent, std::time(nullptr), false, &error);
  ASSERT_TRUE(live) << error;
  std::filesystem::create_directory(parent + "/norvex-demo-foreign");

  EXPECT_EQ(demo::RemoveAbandonedDemos(parent), 2);
  for (const std::string& folder : folders) {
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
    EXPECT_FALSE(platform::IsMountPoint(folder + "/data")) << folder;
  }
  EXPECT_TRUE(std::filesystem::exists(live->folder));
  EXPECT_TRUE(std::filesystem::exists(parent + "/norvex-demo-foreign"));
}

}  // namespace
