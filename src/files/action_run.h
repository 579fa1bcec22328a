#pragma once
// One run of the action engine on a worker thread of its own, while the thread that
// started it (the owner's) stays free to show what the run does. Everything the worker
// reports reaches the owner through its `Post`, in order; a question (the overwrite
// prompt, a message box) holds the worker until the owner has answered it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "common/prompter.h"
#include "files/action_engine.h"

namespace platform { class System; }
namespace scan { class CFolderInfo; }

namespace files {

// What the run shows and asks, always called on the owner's thread.
class ActionRunOwner : public ActionProgress, public common::Prompter {
 public:
  // Runs `work` later on the owner's thread, in the order posted. Work still queued when
  // the owner goes is dropped with it: the run, which the work reaches, goes first.
  virtual void Post(std::function<void()> work) = 0;
  // The worker has ended, true when no action is left: the owner may now Finish the run.
  virtual void RunEnded(bool allDone) = 0;
};

class ActionRun {
 public:
  // `pending` is the run's count of pending actions, lowered as each one is done.
  ActionRun(platform::System& system, std::atomic<std::uint32_t>& pending, ActionRunOwner& owner);
  // Stops the worker before its next entry and waits for it; a question it is waiting
  // on is left unanswered (Skip, Cancel).
  ~ActionRun();
  ActionRun(const ActionRun&) = delete;
  ActionRun& operator=(const ActionRun&) = delete;

  // Starts the engine over `driveList`; false while a run is still going.
  bool Start(scan::CFolderInfo& driveList);
  // Waits for the worker after RunEnded.
  void Finish();
  bool Running() const { return worker_.joinable(); }
  ActionRunFlags& Flags() { return flags_; }

 private:
  class Relay;

  ActionRunFlags flags_;
  std::atomic<std::uint32_t>& pending_;
  platform::System& system_;
  const std::unique_ptr<Relay> relay_;
  std::jthread worker_;
};

}  // namespace files
