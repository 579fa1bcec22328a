// A back-up run killed at random moments: every source file must afterwards be intact
// or emptied with a complete copy on the backup drive.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine_support.h"
#include "files/action_engine.h"

namespace {

using engine_test::RecordingProgress;
using engine_test::SelectedActions;
using testing_support::TempDrives;

constexpr int kFiles = 150;
constexpr int kRuns = 8;

std::string NameOf(int n) { return "file" + std::to_string(n) + ".bin"; }

std::string ContentOf(int n) {
  std::mt19937 random(static_cast<unsigned>(n) * 7919u + 1u);
  std::string content(1024 + random() % (96 * 1024), '\0');
  for (char& c : content) c = static_cast<char>(random());
  return content;
}

// Runs the whole back-up in a forked child; answers the child's exit status.
pid_t StartBackupChild(TempDrives& drives) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  shell::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;
  for (int n = 0; n < kFiles; ++n) {
    selection.AddFile("C:\\Data\\Set\\", NameOf(n), ContentOf(n).size(), files::kActionBackUp, 'E');
  }
  state.PendingActionCount = selection.selected;
  flags.ProcessingOn = 1;
  files::ActionEngine engine(drives.System(), state, flags, prompter, progress);
  const bool done = engine.ActionWorker(selection.driveList);
  ::_exit(done ? 0 : 1);
}

void WriteSources(TempDrives& drives) {
  for (int n = 0; n < kFiles; ++n) drives.WriteFile("C:\\Data\\Set\\" + NameOf(n), ContentOf(n));
}

// Returns how many sources were found emptied with a complete copy.
int CheckEverySource(TempDrives& drives) {
  int backedUp = 0;
  for (int n = 0; n < kFiles; ++n) {
    const std::string source = drives.ReadFile("C:\\Data\\Set\\" + NameOf(n));
    const std::string original = ContentOf(n);
    if (source == original) continue;
    EXPECT_TRUE(source.empty()) << NameOf(n) << " was changed but not emptied";
    const std::string copy = "E:\\Data\\Set\\" + NameOf(n);
    EXPECT_TRUE(drives.Exists(copy)) << NameOf(n) << " was emptied without a copy";
    if (drives.Exists(copy)) EXPECT_EQ(drives.ReadFile(copy), original) << NameOf(n) << " copy differs";
    ++backedUp;
  }
  return backedUp;
}

TEST(EngineKill, EverySourceIsIntactOrCompletelyCopiedAfterAKill) {
  // An uninterrupted run first: it must back up everything and tells how long a run takes.
  std::chrono::microseconds fullRun{};
  {
    TempDrives drives("CE");
    WriteSources(drives);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = StartBackupChild(drives);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    fullRun = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(CheckEverySource(drives), kFiles);
  }

  std::mt19937 random(std::random_device{}());
  int kills = 0, checked = 0, emptied = 0;
  for (int run = 0; run < kRuns; ++run) {
    TempDrives drives("CE");
    WriteSources(drives);
    std::uniform_int_distribution<long> delay(0, fullRun.count());
    const pid_t child = StartBackupChild(drives);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WIFSIGNALED(status)) ++kills;
    emptied += CheckEverySource(drives);
    checked += kFiles;
  }
  std::printf("kill test: %d runs, %d killed mid-run, %d files checked, %d found backed up; "
              "full run %.0f ms\n",
              kRuns, kills, checked, emptied, fullRun.count() / 1000.0);
  RecordProperty("kills", kills);
  RecordProperty("files_checked", checked);
  EXPECT_GE(kills, kRuns / 2) << "too few runs were killed while working";
}

}  // namespace
