#pragma once
// Lets a scan report every folder it enters without flooding the window: "Looking in: "
// texts pass at most once per interval (the latest one wins, the rest are dropped);
// every other text and the busy state pass at once.

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "common/status_sink.h"

namespace ui {

class ThrottledStatusSink : public common::StatusSink {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;
  // `now` reads the clock; tests hand in their own so that nothing depends on how long
  // the machine has been up or how fast it runs.
  explicit ThrottledStatusSink(common::StatusSink& inner,
                               Clock::duration interval = std::chrono::milliseconds(100),
                               Now now = Clock::now);

  void ShowStatus(const std::string& text) override;
  void ShowIdle() override;
  void SetBusy(bool busy) override;

 private:
  common::StatusSink& inner_;
  const Clock::duration interval_;
  const Now now_;
  std::mutex mutex_;
  // Empty until the first progress text: a steady clock starts at boot, so comparing
  // with its epoch would drop the first texts on a machine up for less than the interval.
  std::optional<Clock::time_point> lastProgress_;
};

}  // namespace ui
