#pragma once
// The action engine run as root over temporary drives, one selection after another, with
// the message it showed: for the tests of what it acts on and what its copies keep.

#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "engine_support.h"
#include "files/action_engine.h"
#include "support/tmpfs_drive.h"

namespace engine_test {

constexpr std::uint8_t kBackUp = files::kActionBackUp;
constexpr std::uint8_t kRestore = files::kActionRestore;

inline struct stat LinkStat(const std::string& host) {
  struct stat info {};
  EXPECT_EQ(::lstat(host.c_str(), &info), 0) << host;
  return info;
}

class EngineSafety : public ::testing::Test {
 protected:
  bool Run() { return Run(drives.System()); }
  // Runs the actions selected since the last run.
  bool Run(platform::System& system) {
    state.PendingActionCount = selection.selected - ran_;
    ran_ = selection.selected;
    flags.ProcessingOn = 1;
    files::ActionEngine engine(system, state.PendingActionCount, flags, prompter, progress);
    const bool allDone = engine.ActionWorker(selection.driveList);
    selection.CancelLeft();  // each run stands alone
    return allDone;
  }
  std::uint32_t Select(std::string_view folder, std::string_view name, std::uint8_t action) {
    const std::uint8_t before = action == kRestore ? scan::kStateBackedUp : scan::kStateNormal;
    return selection.AddFile(folder, name, 0, action, 'E', before);
  }
  // The one message the run showed, or "" when it showed none but the final one.
  std::string Shown() const {
    for (const auto& message : prompter.asked) {
      const bool final = message.text == "All selected files were processed." ||
                         message.text.find(" action(s) done, ") != std::string::npos;
      if (!final) return message.text;
    }
    return {};
  }

  testing_support::TempDrives drives{"CE"};
  activity::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;

 private:
  std::uint32_t ran_ = 0;
};

}  // namespace engine_test
