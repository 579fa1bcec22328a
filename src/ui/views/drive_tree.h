#pragma once
// CDriveTree: the left pane, the folders tree of the machine's drives and their folders.

#include <QTreeView>

#include "ui/app/shell_context.h"

namespace ui {

class CDriveTree : public QTreeView {
  Q_OBJECT

 public:
  CDriveTree(ShellContext& context, QWidget* parent);
  ~CDriveTree() override;

  // Once an item has been selected the tree's commands stay enabled for the run.
  bool ItemSelectedOnce() const { return itemSelectedOnce_; }

  // Re-sorts by FolderSortKey. Items keep their order: drives by letter, folders by name
  // as the scan inserted them; the user sees the work in the message pane.
  void SortFolders();
  // Which state of the activity databases the drive icons show (new = the edited one).
  void ShowDatabaseState(bool newState);

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  // UM_STARTUP: the pane's start-up step; the frame appears at its end.
  void StartupStep();
  void RegisterCommands();

  ShellContext& context_;
  bool itemSelectedOnce_ = false;
};

}  // namespace ui
