// The program's start and exit beside the real recorder: what the recorder counts while
// the program runs survives the program's exit, and a damaged drive table is refused by
// the recorder and norvex-cli alike.

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "activity/access_tables.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "platform/host_system.h"
#include "recorder/tool_process.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "shell/shutdown.h"
#include "shell/startup.h"
#include "support/temp_drives.h"

namespace {

constexpr const char* kData = "D:\\work\\data.txt";

// Tells each time a file is renamed into a folder: the recorder writes its tables
// through a temporary file.
class RenameWatch {
 public:
  explicit RenameWatch(const std::string& folder) : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
    if (fd_ >= 0) ::inotify_add_watch(fd_, folder.c_str(), IN_MOVED_TO);
  }
  ~RenameWatch() { if (fd_ >= 0) ::close(fd_); }
  RenameWatch(const RenameWatch&) = delete;
  RenameWatch& operator=(const RenameWatch&) = delete;

  // Waits until `done` holds, looking again after every rename; false past the bound.
  bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd wait{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
      char events[4096];
      while (::read(fd_, events, sizeof events) > 0) {
      }
    }
    return true;
  }

 private:
  int fd_;
};

class ProgramBesideRecorder : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder_ = testing_support::BuiltTool("norvex-recorder");
    cli_ = testing_support::BuiltTool("norvex-cli");
    if (::access(recorder_.c_str(), X_OK) != 0 || ::access(cli_.c_str(), X_OK) != 0) {
      GTEST_SKIP() << "build norvex-recorder and norvex-cli first (" << recorder_ << ")";
    }
    drives_.MakeDirectory("D:\\work");
    drives_.WriteFile(kData, "content");
  }

  // D: watched, its database on C:, nothing counted yet.
  void WatchD() {
    activity::DriveTable table;
    ASSERT_TRUE(table.Load(drives_.System()));
    activity::DriveRecord record;
    record.drive = activity::DriveNumber('D');
    table.NewState() = {record};
    ASSERT_TRUE(table.Save(drives_.System()));
    ASSERT_TRUE(activity::CreateZeroFilledFile(drives_.System(), "C:\\FileTblD.NVX",
                                               record.Capacity() * activity::kAccessRecordSize));
  }

  // The recorder on inotify, writing its tables out every second.
  bool StartRecorder(testing_support::ToolProcess& process) {
    std::vector<std::string> args = testing_support::GlobalOptions(drives_.Environment());
    args.insert(args.end(), {"run", "--inotify", "--interval", "1", "--nice", "0"});
    return process.Start(recorder_, args);
  }

  void ReadData() {
    const int fd = ::open(drives_.Host(kData).c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char byte;
    ASSERT_EQ(::read(fd, &byte, 1), 1);
    ::close(fd);
  }

  // The drive record and data.txt's access record as the files hold them now (the
  // recorder replaces its files whole, so they can be read while it runs).
  std::pair<activity::DriveRecord, activity::AccessRecord> OnDisk() {
    activity::DriveTable table;
    if (!table.Load(drives_.System()) || table.NewState().size() != 1) return {};
    activity::AccessTables tables;
    if (!tables.Load(drives_.System(), 'D', table.NewState().front())) return {};
    return {table.NewState().front(), tables.RecordOrZero('D', activity::PathKey(kData, {}))};
  }

  testing_support::TempDrives drives_{"CD"};
  std::string recorder_, cli_;
};

TEST_F(ProgramBesideRecorder, CountsMadeDuringASessionSurviveTheProgramsExit) {
  WatchD();
  testing_support::ToolProcess recorder;
  ASSERT_TRUE(StartRecorder(recorder));
  ASSERT_TRUE(recorder.ReadUntil("watching with inotify")) << recorder.Output();

  activity::AppState state;
  testing_support::ScriptedPrompter prompter;
  testing_support::MemoryOptionStore options;
  options.values[shell::kExecutedAtLeastOneTimeOption] = shell::kOn;
  platform::HostSystem& system = drives_.System();
  ASSERT_EQ(shell::RunFrameStartup(state, system, prompter, options), shell::StartupOutcome::Ready);
  ASSERT_EQ(state.driveTable.NewState().front().recordsInUse, 0u);

  // Three reads during the session, each waited for until the recorder has written it.
  RenameWatch writes(drives_.Root('C'));
  for (std::uint32_t reads = 1; reads <= 3; ++reads) {
    ReadData();
    ASSERT_TRUE(writes.WaitFor([&] { return OnDisk().second.readOnly == reads; }))
        << "read " << reads << " never counted\n" << recorder.Output();
  }

  // Alt+X: hold, apply, save, release.
  ASSERT_TRUE(shell::RunShutdown({state, system, prompter, nullptr, {}, drives_.Dir()}));
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(OnDisk().first.recordsInUse, 1u) << "the program wrote its start-up copy back";

  // Had the recorder taken the table as emptied on release, a fourth read would start
  // from nothing.
  ReadData();
  ASSERT_TRUE(writes.WaitFor([&] { return OnDisk().second.total != 3; })) << recorder.Output();
  const auto [record, data] = OnDisk();
  EXPECT_EQ(data.readOnly, 4u);
  EXPECT_EQ(record.recordsInUse, 1u);
}

TEST_F(ProgramBesideRecorder, ADamagedTableIsRefusedByTheRecorderAndTheCli) {
  WatchD();
  // A second record for D: with another shape: the recorder once used the first, the
  // program the last.
  std::string table = drives_.ReadFile("C:\\DriveTbl.NVX");
  table += table;
  table[activity::kDriveRecordSize + 2] = 7;
  table[activity::kDriveRecordSize + 3] = 0;
  drives_.WriteFile("C:\\DriveTbl.NVX", table);
  const std::string host = drives_.Host("C:\\DriveTbl.NVX");

  testing_support::ToolProcess recorder;
  ASSERT_TRUE(StartRecorder(recorder));
  EXPECT_EQ(recorder.Wait(), 1) << recorder.Output();
  EXPECT_NE(recorder.Output().find("C:\\DriveTbl.NVX is damaged: record 1 and record 2 are both for drive D:"),
            std::string::npos) << recorder.Output();

  testing_support::ToolProcess cli;
  std::vector<std::string> args = testing_support::GlobalOptions(drives_.Environment());
  args.push_back("db");
  ASSERT_TRUE(cli.Start(cli_, args));
  EXPECT_EQ(cli.Wait(), 2) << cli.Output();
  EXPECT_EQ(cli.Output(), "norvex-cli: the drive table C:\\DriveTbl.NVX (" + host +
                              ") is damaged: record 1 and record 2 are both for drive D:\n");
  EXPECT_EQ(drives_.ReadFile("C:\\DriveTbl.NVX"), table);
}

}  // namespace
