#pragma once
// Lets a scan report every folder it enters without flooding the window: "Looking in: "
// texts pass at most once per interval (the latest one wins, the rest are dropped);
// every other text and the busy state pass at once.

#include <chrono>
#include <mutex>
#include <string>

#include "shell/status_sink.h"

namespace ui {

class ThrottledStatusSink : public shell::StatusSink {
 public:
  using Clock = std::chrono::steady_clock;
  explicit ThrottledStatusSink(shell::StatusSink& inner,
                               Clock::duration interval = std::chrono::milliseconds(100));

  void ShowStatus(const std::string& text) override;
  void ShowIdle() override;
  void SetBusy(bool busy) override;

 private:
  shell::StatusSink& inner_;
  const Clock::duration interval_;
  std::mutex mutex_;
  Clock::time_point lastProgress_{};
};

}  // namespace ui
