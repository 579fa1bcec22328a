// A run of the action engine on its own worker, answered from another thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "activity/app_state.h"
#include "engine_support.h"
#include "files/action_run.h"

namespace {

using files::OverwriteAnswer;

// Posted work waits in a queue until the test's thread runs it, as a window's event
// loop would; the answers are given there.
class QueuedOwner : public files::ActionRunOwner {
 public:
  void Post(std::function<void()> work) override {
    {
      const std::lock_guard lock(mutex_);
      queue_.push_back(std::move(work));
    }
    posted_.notify_one();
  }
  // Runs the posted work, in order, until the run has ended.
  void RunUntilEnded() {
    while (!ended) {
      std::function<void()> work;
      {
        std::unique_lock lock(mutex_);
        posted_.wait(lock, [this] { return !queue_.empty(); });
        work = std::move(queue_.front());
        queue_.pop_front();
      }
      work();
    }
  }

  void ShowAction(const std::string&) override {}
  void ShowCurrentFile(const std::string&) override {}
  void ShowFilesToProcess(std::uint32_t) override {}
  void StepProgress() override {}
  OverwriteAnswer AskOverwrite(const std::string& existing, const std::string&) override {
    asked.push_back(existing);
    return OverwriteAnswer::Overwrite;
  }
  common::Answer Ask(const common::Message& message) override {
    asked.push_back(message.text);
    return common::Answer::Ok;
  }
  void RunEnded(bool allDone) override {
    ended = true;
    endedAllDone = allDone;
  }

  std::vector<std::string> asked;
  bool ended = false;
  bool endedAllDone = false;

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> queue_;
};

// A worker that went on without its owner's answer would skip the copy (the answer it
// gets when nobody answers) and leave the old back-up in place.
TEST(ActionRun, TheWorkerWaitsForTheOwnersAnswerAndGoesOnWithIt) {
  testing_support::TempDrives drives{"CE"};
  drives.WriteFile("C:\\Work\\a.txt", "new");
  drives.WriteFile("E:\\Work\\a.txt", "old");
  engine_test::SelectedActions selection;
  selection.AddFile("C:\\Work\\", "a.txt", 3, files::kActionBackUp, 'E');
  activity::AppState state;
  state.PendingActionCount = selection.selected;
  QueuedOwner owner;
  files::ActionRun run(drives.System(), state.PendingActionCount, owner);

  ASSERT_TRUE(run.Start(selection.driveList));
  EXPECT_FALSE(run.Start(selection.driveList)) << "one run at a time";
  owner.RunUntilEnded();
  run.Finish();

  EXPECT_FALSE(run.Running());
  EXPECT_TRUE(owner.endedAllDone);
  EXPECT_EQ(owner.asked, (std::vector<std::string>{"E:\\Work\\a.txt", "All selected files were processed."}));
  EXPECT_EQ(drives.ReadFile("E:\\Work\\a.txt"), "new");
  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "");
}

}  // namespace
