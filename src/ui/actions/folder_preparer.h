#pragma once
// Before a command marks the contents of selected folders, every one of them that no
// full scan has read is scanned, one after another, so that the marking reaches what is
// really on the disk. All of it runs on the UI thread: a scan is started, and the next
// folder is tried once the scan controller has closed it.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace activity { struct AppState; }

namespace ui {

class ActionPanes;

class FolderPreparer : public QObject {
 public:
  // `panes` outlives this object.
  FolderPreparer(activity::AppState& state, ActionPanes& panes, QObject* parent = nullptr);

  // Scans those of `folders` (subfolders of the folders tree's current item) that need
  // it, in order, then runs `then`. The tree keeps its selection meanwhile. Ignored
  // while a preparation runs.
  void Start(std::vector<std::string> folders, std::function<void()> then);
  bool Running() const { return running_; }

 private:
  void Next();

  activity::AppState& state_;
  ActionPanes& panes_;
  std::vector<std::string> folders_;
  std::size_t next_ = 0;
  std::function<void()> then_;
  bool running_ = false;
};

}  // namespace ui
