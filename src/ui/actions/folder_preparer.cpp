#include "ui/actions/folder_preparer.h"

#include <QPointer>

#include "activity/app_state.h"
#include "ui/actions/action_panes.h"

namespace ui {

FolderPreparer::FolderPreparer(activity::AppState& state, ActionPanes& panes, QObject* parent)
    : QObject(parent), state_(state), panes_(panes) {}

void FolderPreparer::Start(std::vector<std::string> folders, std::function<void()> then) {
  if (running_) return;
  running_ = true;
  folders_ = std::move(folders);
  next_ = 0;
  then_ = std::move(then);
  Next();
}

void FolderPreparer::Next() {
  while (next_ < folders_.size()) {
    const std::string& name = folders_[next_++];
    if (!panes_.NeedsFullScan(name)) continue;
    state_.RefreshAfterScan = false;
    if (!panes_.StartFullScan(name)) {
      state_.RefreshAfterScan = true;  // no scan will end to set it again
      continue;
    }
    panes_.WhenScanClosed([self = QPointer(this)] {
      if (self) self->Next();
    });
    return;
  }
  running_ = false;
  folders_.clear();
  if (const auto then = std::exchange(then_, {})) then();
}

}  // namespace ui
