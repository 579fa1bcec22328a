#pragma once
// Keeps a progress line current while the work itself sends no news (one long copy):
// a thread that refreshes and ticks the line twice per drawing interval. Starts no
// thread for a line that is off.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "progress_line.h"

namespace tools {

class ProgressTicker {
 public:
  // `refresh` runs on the ticker's thread before each tick, to Show the latest text.
  ProgressTicker(ProgressLine& line, std::function<void()> refresh);
  ~ProgressTicker();
  ProgressTicker(const ProgressTicker&) = delete;
  ProgressTicker& operator=(const ProgressTicker&) = delete;

 private:
  void Run();

  ProgressLine& line_;
  const std::function<void()> refresh_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace tools
