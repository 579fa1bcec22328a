#include "ui/document/throttled_status_sink.h"

#include <utility>

#include "scan/scan_texts.h"

namespace ui {

ThrottledStatusSink::ThrottledStatusSink(common::StatusSink& inner, Clock::duration interval, Now now)
    : inner_(inner), interval_(interval), now_(std::move(now)) {}

void ThrottledStatusSink::ShowStatus(const std::string& text) {
  if (text.starts_with(scan::kLookingIn)) {
    const Clock::time_point now = now_();
    std::lock_guard lock(mutex_);
    if (lastProgress_ && now - *lastProgress_ < interval_) return;
    lastProgress_ = now;
  }
  inner_.ShowStatus(text);
}

void ThrottledStatusSink::ShowIdle() { inner_.ShowIdle(); }

void ThrottledStatusSink::SetBusy(bool busy) { inner_.SetBusy(busy); }

}  // namespace ui
