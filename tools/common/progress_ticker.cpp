#include "progress_ticker.h"

namespace tools {

ProgressTicker::ProgressTicker(ProgressLine& line, std::function<void()> refresh)
    : line_(line), refresh_(std::move(refresh)) {
  if (line_.Enabled()) thread_ = std::thread([this] { Run(); });
}

ProgressTicker::~ProgressTicker() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ProgressTicker::Run() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kProgressInterval / 2, [this] { return stop_; })) {
    lock.unlock();
    refresh_();
    line_.Tick();
    lock.lock();
  }
}

}  // namespace tools
