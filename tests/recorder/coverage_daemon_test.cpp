// The recorder's coverage file as a real recorder leaves it: killed without warning it
// loses at most one interval, and a restart in the same boot opens a second period.

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "platform/boot_identity.h"
#include "platform/unique_fd.h"
#include "recorder/tool_process.h"
#include "support/temp_drives.h"

namespace {

using testing_support::BuiltTool;
using testing_support::ToolProcess;

double Clock() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

class CoverageDaemonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder_ = BuiltTool("norvex-recorder");
    cli_ = BuiltTool("norvex-cli");
    if (::access(recorder_.c_str(), X_OK) != 0 || ::access(cli_.c_str(), X_OK) != 0) {
      GTEST_SKIP() << "build norvex-recorder and norvex-cli first (" << recorder_ << ")";
    }
    drives_.MakeDirectory("D:\\work");
    activity::DriveTable table;
    ASSERT_TRUE(table.Load(drives_.System()));
    activity::DriveRecord record;
    record.drive = activity::DriveNumber('D');
    table.NewState() = {record};
    ASSERT_TRUE(table.Save(drives_.System()));
    ASSERT_TRUE(activity::CreateZeroFilledFile(drives_.System(), activity::AccessTablePath('C', 'D'),
                                               record.Capacity() * activity::kAccessRecordSize));
  }

  void Run(ToolProcess& process) {
    std::vector<std::string> args = testing_support::GlobalOptions(drives_.Environment());
    args.insert(args.end(), {"run", "--inotify", "--interval", "1"});
    ASSERT_TRUE(process.Start(recorder_, args));
    ASSERT_TRUE(process.ReadUntil(", control on ")) << process.Output();
  }

  // Waits until the recorder has written its coverage file `times` times (it renames a
  // finished file over it); false when that takes longer than a generous bound.
  bool WaitForCoverageWrites(int times) {
    const platform::UniqueFd watch(::inotify_init1(IN_CLOEXEC));
    if (!watch || ::inotify_add_watch(watch.Get(), drives_.Root('C').c_str(), IN_MOVED_TO) < 0) return false;
    const std::string name = "FileCovD.NVX";
    alignas(inotify_event) char buffer[4096];
    while (times > 0) {
      pollfd ready{watch.Get(), POLLIN, 0};
      if (::poll(&ready, 1, 30000) <= 0) return false;
      const ssize_t got = ::read(watch.Get(), buffer, sizeof buffer);
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->len != 0 && name == event->name) --times;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return true;
  }

  std::vector<activity::CoveragePeriod> Periods() {
    const activity::CoverageLoad load = activity::LoadCoverage(drives_.System(), 'C', 'D', drives_.System().Now());
    EXPECT_EQ(load.state, activity::CoverageLoad::State::Loaded) << load.damage;
    return load.periods;
  }

  testing_support::TempDrives drives_{"CD"};
  std::string recorder_, cli_;
};

TEST_F(CoverageDaemonTest, KilledLosesAtMostOneIntervalAndARestartOpensAnotherPeriod) {
  double killedAt = 0;
  {
    ToolProcess first;
    Run(first);
    // Killed right after a write: what the file then says is all the kill can cost.
    ASSERT_TRUE(WaitForCoverageWrites(2)) << first.Output();
    killedAt = Clock();
    ASSERT_EQ(::kill(first.Pid(), SIGKILL), 0);
    first.Wait();
  }
  auto periods = Periods();
  ASSERT_EQ(periods.size(), 1u);
  EXPECT_EQ(periods[0].end, activity::PeriodEnd::Unknown);
  EXPECT_GE(static_cast<double>(periods[0].lastSeen), std::floor(killedAt) - 1) << "more than one interval lost";
  EXPECT_GE(periods[0].lastSeen, periods[0].start + 1);
  if (const auto boot = platform::ReadBootId()) {
    EXPECT_EQ(periods[0].bootId, *boot);
  }

  {
    ToolProcess second;
    Run(second);
    second.Stop();
  }
  periods = Periods();
  ASSERT_EQ(periods.size(), 2u);
  EXPECT_EQ(periods[1].bootId, periods[0].bootId);
  EXPECT_GE(periods[1].start, periods[0].lastSeen);
  EXPECT_NE(periods[1].end, activity::PeriodEnd::Unknown);

  std::vector<std::string> args = testing_support::GlobalOptions(drives_.Environment());
  args.insert(args.end(), {"db", "--json"});
  ToolProcess db;
  ASSERT_TRUE(db.Start(cli_, args));
  EXPECT_EQ(db.Wait(), 0) << db.Output();
  const std::string& json = db.Output();
  std::size_t shown = 0;
  for (std::size_t at = json.find("\"lastSeenUtc\""); at != std::string::npos; at = json.find("\"lastSeenUtc\"", at + 1)) {
    ++shown;
  }
  EXPECT_EQ(shown, 2u) << json;
}

}  // namespace
