#pragma once
// The window's StatusSink: texts go to the status bar's message pane and "busy" shows
// the wait cursor. Safe to call from worker threads: the work is handed to the UI thread.

#include <QPointer>

#include "common/status_sink.h"

namespace ui {

class StatusPanes;

class StatusBarSink : public common::StatusSink {
 public:
  explicit StatusBarSink(StatusPanes* panes);

  void ShowStatus(const std::string& text) override;
  void SetBusy(bool busy) override;

 private:
  QPointer<StatusPanes> panes_;
};

}  // namespace ui
