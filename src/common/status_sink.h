#pragma once
// Where long work reports what it is doing: the status bar's message pane and the
// wait cursor in the window, a no-op or a recording list in tests. May be called from
// worker threads; implementations forward to the UI thread.

#include <string>

namespace common {

inline constexpr const char* kIdlePrompt = "Ready, for Help press F1";

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void ShowIdle() { ShowStatus(kIdlePrompt); }
  virtual void SetBusy(bool /*busy*/) {}
};

}  // namespace common
