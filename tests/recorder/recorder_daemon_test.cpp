// The recorder daemon as a real process: it counts real opens, answers the program's own
// hold and release, and what it counted shows in norvex-cli's scan.

#include <fcntl.h>
#include <signal.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fstream>
#include <sstream>

#include "activity/access_tables.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "platform/recorder_channel.h"
#include "platform/unique_fd.h"
#include "recorder/tool_process.h"
#include "support/image_drive.h"
#include "support/temp_drives.h"

extern char** environ;

namespace {

using testing_support::BuiltTool;

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

class RecorderDaemonTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    recorder_ = BuiltTool("norvex-recorder");
    cli_ = BuiltTool("norvex-cli");
    if (::access(recorder_.c_str(), X_OK) != 0 || ::access(cli_.c_str(), X_OK) != 0) {
      GTEST_SKIP() << "build norvex-recorder and norvex-cli first (" << recorder_ << ")";
    }
    const bool inotify = GetParam();
    if (!inotify && ::geteuid() != 0) GTEST_SKIP() << "fanotify needs root; the inotify run covers this";
    drives_.MakeDirectory("D:\\work");
    drives_.WriteFile("D:\\work\\data.txt", "content");
    Watch(1023, 4);
    Start(inotify);
  }
  void TearDown() override {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      std::printf("[ recorder ] %s", Slurp(log_).c_str());
    }
  }

  std::vector<std::string> GlobalOptions() { return testing_support::GlobalOptions(drives_.Environment()); }

  void Watch(std::uint16_t mask, std::uint16_t size, char location = 'C') {
    activity::DriveTable table;
    ASSERT_TRUE(table.Load(drives_.System()));
    activity::DriveRecord record;
    record.drive = activity::DriveNumber('D');
    record.location = activity::DriveNumber(location);
    record.bucketMask = mask;
    record.bucketSize = size;
    table.NewState() = {record};
    ASSERT_TRUE(table.Save(drives_.System()));
    ASSERT_TRUE(activity::CreateZeroFilledFile(drives_.System(), activity::AccessTablePath(location, 'D'),
                                               record.Capacity() * activity::kAccessRecordSize));
  }

  void Start(bool inotify) {
    std::vector<std::string> args = {recorder_};
    for (auto& option : GlobalOptions()) args.push_back(option);
    args.insert(args.end(), {"run", "--interval", "60"});
    if (inotify) args.push_back("--inotify");
    log_ = drives_.Dir() + "/recorder.log";
    // The log is watched before the recorder starts, so no line it writes goes unseen.
    platform::UniqueFd(::open(log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    const platform::UniqueFd logChanges(::inotify_init1(IN_CLOEXEC));
    ASSERT_TRUE(logChanges && ::inotify_add_watch(logChanges.Get(), log_.c_str(), IN_MODIFY) >= 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ASSERT_EQ(::posix_spawn(&pid_, recorder_.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_TRUE(WaitUntilListening(logChanges.Get())) << "the recorder never listened: " << Slurp(log_);
    ASSERT_TRUE(platform::SendRecorderCode(drives_.Environment().recorderSocket, 0)) << Slurp(log_);
  }

  // Until the recorder's last start-up line says it listens, woken by each write to its
  // log; false when it ends first or the bound, which only ends a test that would hang,
  // passes.
  bool WaitUntilListening(int logChanges) {
    const platform::UniqueFd process(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Slurp(log_).find(", control on ") == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd waits[2] = {{logChanges, POLLIN, 0}, {process.Get(), POLLIN, 0}};
      if (left.count() <= 0 || ::poll(waits, process ? 2 : 1, static_cast<int>(left.count())) <= 0) return false;
      if (process && waits[1].revents != 0) return Slurp(log_).find(", control on ") != std::string::npos;
      char events[4096];
      [[maybe_unused]] const ssize_t drained = ::read(logChanges, events, sizeof events);
    }
    return true;
  }

  // Returns once the recorder has read every event of what the test did so far: its
  // answer to any control comes after that. Opens of one file by one process that the
  // recorder has not read yet are merged into one by the kernel.
  void Sync() { ASSERT_TRUE(platform::SendRecorderCode(drives_.Environment().recorderSocket, 0)); }

  void OpenFile(const std::string& windowsPath, int flags) {
    const int fd = ::open(drives_.Host(windowsPath).c_str(), flags);
    ASSERT_GE(fd, 0);
    if ((flags & O_ACCMODE) != O_RDONLY) {
      ASSERT_EQ(::write(fd, "x", 1), 1);
    }
    ::close(fd);
  }

  std::string Scan(const std::string& hostFolder) {
    std::string command = "'" + cli_ + "'";
    for (const auto& option : GlobalOptions()) command += " '" + option + "'";
    command += " scan '" + hostFolder + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ::pclose(pipe);
    return out;
  }

  // Holds (which counts everything done so far), reads and releases.
  activity::AccessRecord CountedNow(const char* path) {
    activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);
    const activity::AccessRecord record = Counted(path);
    activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_RELEASE);
    return record;
  }

  activity::AccessRecord Counted(const char* path) {
    activity::DriveTable table;
    EXPECT_TRUE(table.Load(drives_.System()));
    activity::AccessTables tables;
    EXPECT_TRUE(tables.Load(drives_.System(), 'D', table.NewState().front()));
    return tables.RecordOrZero('D', activity::PathKey(path, {}));
  }

  testing_support::TempDrives drives_{"CDE"};
  std::string recorder_, cli_, log_;
  pid_t pid_ = -1;
};

TEST_P(RecorderDaemonTest, ThreeReadsAndOneWriteShowInTheScan) {
  // One at a time: the kernel merges one process's unread events on one file, so opens
  // faster than the daemon reads are counted as fewer.
  for (int i = 0; i < 3; ++i) {
    OpenFile("D:\\work\\data.txt", O_RDONLY);
    Sync();
  }
  OpenFile("D:\\work\\data.txt", O_WRONLY);

  // The scan holds and releases the recorder around reading the databases itself.
  const std::string listing = Scan(drives_.Host("D:\\work"));
  std::istringstream lines(listing);
  std::string line;
  std::vector<std::string> fields;
  while (std::getline(lines, line)) {
    if (line.rfind("data.txt\t", 0) != 0) continue;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
  }
  ASSERT_EQ(fields.size(), 12u) << listing;
  EXPECT_EQ(fields[9], "3") << listing;   // read-only
  EXPECT_EQ(fields[10], "1") << listing;  // write-only
  EXPECT_EQ(fields[11], "0") << listing;  // read-and-write
  EXPECT_EQ(fields[8], "1") << listing;   // last operation: write
}

TEST_P(RecorderDaemonTest, HoldWritesOutAndReleaseTakesTheDatabasesBackAsTheyNowAre) {
  OpenFile("D:\\work\\data.txt", O_RDONLY);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);  // accepted again
  EXPECT_EQ(Counted("D:\\work\\data.txt").readOnly, 1u);

  // While held, the program resizes the database; the daemon must use the new layout.
  Watch(3, 2);
  OpenFile("D:\\work\\data.txt", O_RDWR);  // counted once released
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_RELEASE);
  OpenFile("D:\\work\\data.txt", O_RDONLY);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);

  EXPECT_EQ(drives_.ReadFile("C:\\FileTblD.NVX").size(), 8u * activity::kAccessRecordSize);
  const activity::AccessRecord record = Counted("D:\\work\\data.txt");
  EXPECT_EQ(record.readOnly, 1u);  // the emptied table forgot the first read
  EXPECT_EQ(record.total, 2u);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_RELEASE);
}

TEST_P(RecorderDaemonTest, CountsUnderTheNamesFilesAndFoldersHaveAfterAMove) {
  OpenFile("D:\\work\\data.txt", O_RDONLY);
  EXPECT_EQ(CountedNow("D:\\work\\data.txt").readOnly, 1u);

  // The recorder has seen both names before; neither may lend its path to the other.
  drives_.WriteFile("D:\\work\\other.txt", "x");
  OpenFile("D:\\work\\other.txt", O_RDONLY);
  ASSERT_EQ(::rename(drives_.Host("D:\\work\\data.txt").c_str(), drives_.Host("D:\\work\\kept.txt").c_str()), 0);
  ASSERT_EQ(::rename(drives_.Host("D:\\work\\other.txt").c_str(), drives_.Host("D:\\work\\data.txt").c_str()), 0);
  OpenFile("D:\\work\\kept.txt", O_WRONLY);
  OpenFile("D:\\work\\data.txt", O_WRONLY);
  EXPECT_EQ(CountedNow("D:\\work\\kept.txt").writeOnly, 1u);
  activity::AccessRecord data = CountedNow("D:\\work\\data.txt");
  EXPECT_EQ(data.readOnly, 1u);
  EXPECT_EQ(data.writeOnly, 1u);

  // A moved folder moves every file in it, and a new folder may take its old name (the
  // key is the path's: the new data.txt continues the old path's counts).
  ASSERT_EQ(::rename(drives_.Host("D:\\work").c_str(), drives_.Host("D:\\moved").c_str()), 0);
  drives_.MakeDirectory("D:\\work");
  Sync();  // inotify watches a new folder once it has read of it
  drives_.WriteFile("D:\\work\\data.txt", "new");  // a write-only open
  OpenFile("D:\\moved\\data.txt", O_RDONLY);
  Sync();  // both watchers merge unread events of one file
  OpenFile("D:\\moved\\data.txt", O_RDONLY);
  OpenFile("D:\\work\\data.txt", O_RDONLY);
  EXPECT_EQ(CountedNow("D:\\moved\\data.txt").readOnly, 2u);
  data = CountedNow("D:\\work\\data.txt");
  EXPECT_EQ(data.readOnly, 2u);
  EXPECT_EQ(data.writeOnly, 2u);
}

TEST_P(RecorderDaemonTest, NeverCountsADatabaseThatMovedOntoAWatchedDriveDuringAHold) {
  // An ordinary file first, so the recorder has met this path as countable.
  drives_.WriteFile("D:\\FileTblD.NVX", "not yet a database");
  OpenFile("D:\\FileTblD.NVX", O_RDONLY);

  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);
  Watch(1023, 4, 'D');  // the program moves D:'s database onto D: itself
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_RELEASE);
  OpenFile("D:\\work\\data.txt", O_RDONLY);
  // The program reading the new database outside a hold (it never should, but a backup
  // tool or a user might) is not counted either.
  OpenFile("D:\\FileTblD.NVX", O_RDONLY);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_HOLD);

  activity::DriveTable table;
  ASSERT_TRUE(table.Load(drives_.System()));
  activity::AccessTables tables;
  ASSERT_TRUE(tables.Load(drives_.System(), 'D', table.NewState().front()));
  EXPECT_EQ(tables.RecordOrZero('D', activity::PathKey("D:\\work\\data.txt", {})).readOnly, 1u);
  EXPECT_EQ(tables.RecordOrZero('D', activity::PathKey("D:\\FileTblD.NVX", {})).total, 0u);
  EXPECT_EQ(table.NewState().front().recordsInUse, 1u);
  activity::SendControl(drives_.System(), activity::IOCTL_RECORDER_RELEASE);
}

INSTANTIATE_TEST_SUITE_P(Watchers, RecorderDaemonTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "inotify" : "fanotify"; });

// A folder mounted elsewhere for as long as it lives.
class BindMount {
 public:
  BindMount(const std::string& from, std::string to) : to_(std::move(to)) {
    ::mkdir(to_.c_str(), 0755);
    if (::mount(from.c_str(), to_.c_str(), nullptr, MS_BIND, nullptr) != 0) whyNot_ = std::strerror(errno);
  }
  ~BindMount() {
    if (whyNot_.empty()) ::umount2(to_.c_str(), MNT_DETACH);
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& Path() const { return to_; }

 private:
  std::string to_, whyNot_;
};

void ReadThrough(const std::string& hostPath) {
  const platform::UniqueFd fd(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(fd.Valid()) << hostPath << ": " << std::strerror(errno);
}

// The drive's filesystem is watched, not the mount its root lies on: the same file
// opened through a bind mount made while recording counts on the drive's own path.
TEST_P(RecorderDaemonTest, CountsReadsThroughABindMountOnTheDrivesOwnPath) {
  if (GetParam()) GTEST_SKIP() << "inotify watches the drive's own folders only";
  const BindMount bind(drives_.Host("D:\\work"), drives_.Dir() + "/site");
  if (!bind.WhyNot().empty()) GTEST_SKIP() << "cannot bind-mount here: " << bind.WhyNot();
  for (int i = 0; i < 3; ++i) {
    ReadThrough(bind.Path() + "/data.txt");
    Sync();
  }
  EXPECT_EQ(CountedNow("D:\\work\\data.txt").readOnly, 3u) << Slurp(log_);
}

// A drive whose root is a btrfs subvolume: the kernel refuses file-handle marks there,
// and the fallback must still count opens through every mount of it, including
// subvolumes made and removed while recording.
class RecorderSubvolumeTest : public RecorderDaemonTest {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting btrfs needs root";
    btrfs_ = std::make_unique<testing_support::ImageDrive>(drives_, 'E', platform::ImageFormat::Btrfs);
    if (!btrfs_->Mounted()) GTEST_SKIP() << "no btrfs image: " << btrfs_->WhyNot();
    volume_ = btrfs_->MountPoint() + "/vol";
    ASSERT_EQ(Shell("btrfs -q subvolume create '" + volume_ + "'"), 0);
    ASSERT_EQ(::mkdir((volume_ + "/work").c_str(), 0755), 0);
    ASSERT_EQ(Shell("echo content > '" + volume_ + "/work/data.txt'"), 0);
    view_ = std::make_unique<BindMount>(volume_, drives_.Dir() + "/view");
    if (!view_->WhyNot().empty()) GTEST_SKIP() << "cannot bind-mount here: " << view_->WhyNot();
    drives_.Environment().drives.Set('D', volume_);
    RecorderDaemonTest::SetUp();
  }
  static int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

  // The view goes before the filesystem it shows, both after the recorder has stopped.
  std::unique_ptr<testing_support::ImageDrive> btrfs_;
  std::unique_ptr<BindMount> view_;
  std::string volume_;
};

TEST_P(RecorderSubvolumeTest, CountsOpensThroughEveryMountAndSaysHowItWatches) {
  ReadThrough(volume_ + "/work/data.txt");
  Sync();
  ReadThrough(view_->Path() + "/work/data.txt");
  EXPECT_EQ(CountedNow("D:\\work\\data.txt").readOnly, 2u) << Slurp(log_);
  EXPECT_NE(Slurp(log_).find("D: " + volume_ + ": filesystem mark (descriptors) (refused: filesystem mark "
                             "(file handles): Invalid cross-device link)"),
            std::string::npos)
      << Slurp(log_);

  ASSERT_EQ(Shell("btrfs -q subvolume create '" + volume_ + "/new'"), 0);
  ASSERT_EQ(Shell("echo x > '" + volume_ + "/new/file.txt'"), 0);
  ReadThrough(view_->Path() + "/new/file.txt");
  Sync();
  ASSERT_EQ(Shell("btrfs -q subvolume delete '" + volume_ + "/new'"), 0);
  Sync();
  EXPECT_EQ(CountedNow("D:\\new\\file.txt").readOnly, 1u) << Slurp(log_);
}

INSTANTIATE_TEST_SUITE_P(Fanotify, RecorderSubvolumeTest, ::testing::Values(false),
                         [](const auto&) { return "fanotify"; });

}  // namespace
