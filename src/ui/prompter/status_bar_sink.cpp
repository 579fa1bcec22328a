#include "ui/prompter/status_bar_sink.h"

#include <QThread>

#include "ui/prompter/status_panes.h"

namespace ui {
namespace {

// Runs `work` on the panes' thread: at once when already there, else queued (dropped
// if the panes are gone by then).
template <typename Work>
void OnUiThread(StatusPanes* panes, Work work) {
  if (QThread::currentThread() == panes->thread()) {
    work();
  } else {
    QMetaObject::invokeMethod(panes, std::move(work), Qt::QueuedConnection);
  }
}

}  // namespace

StatusBarSink::StatusBarSink(StatusPanes* panes) : panes_(panes) {}

void StatusBarSink::ShowStatus(const std::string& text) {
  StatusPanes* panes = panes_.data();
  if (panes == nullptr) return;
  OnUiThread(panes, [panes, message = QString::fromStdString(text)] { panes->ShowMessage(message); });
}

void StatusBarSink::SetBusy(bool busy) {
  StatusPanes* panes = panes_.data();
  if (panes == nullptr) return;
  OnUiThread(panes, [panes, busy] { panes->SetBusy(busy); });
}

}  // namespace ui
