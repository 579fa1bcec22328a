#pragma once
// CFilesList: the right pane, one row per entry of the folder selected in the tree.

#include <QTableView>

#include "ui/app/shell_context.h"

namespace ui {

class CFilesList : public QTableView {
  Q_OBJECT

 public:
  CFilesList(ShellContext& context, QWidget* parent);
  ~CFilesList() override;

  // False while the list is being filled or all items are being selected: selection
  // changes then leave the status panes alone.
  bool Ready() const { return ready_; }

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  // UM_STARTUP: the pane's start-up step.
  void StartupStep();

  ShellContext& context_;
  bool ready_ = false;
};

}  // namespace ui
