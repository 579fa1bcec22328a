#include "ui/views/throttled_status_sink.h"

#include "scan/scan_texts.h"

namespace ui {

ThrottledStatusSink::ThrottledStatusSink(shell::StatusSink& inner, Clock::duration interval)
    : inner_(inner), interval_(interval) {}

void ThrottledStatusSink::ShowStatus(const std::string& text) {
  if (text.starts_with(scan::kLookingIn)) {
    const Clock::time_point now = Clock::now();
    std::lock_guard lock(mutex_);
    if (now - lastProgress_ < interval_) return;
    lastProgress_ = now;
  }
  inner_.ShowStatus(text);
}

void ThrottledStatusSink::ShowIdle() { inner_.ShowIdle(); }

void ThrottledStatusSink::SetBusy(bool busy) { inner_.SetBusy(busy); }

}  // namespace ui
