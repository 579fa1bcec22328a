#pragma once
// "Hint options" (dialog 163): the four hint switches, kept for the run.

#include <QDialog>

#include "files/hints.h"

class QCheckBox;

namespace ui {

class HintOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  HintOptionsDialog(const files::HintOptions& options, QWidget* parent);
  files::HintOptions Options() const;

  static constexpr int kResourceId = 163;

 private:
  QCheckBox* byAccess_;
  QCheckBox* byDate_;
  QCheckBox* bySize_;
  QCheckBox* byUsed_;
};

// Runs the dialog over `options`: OK stores the boxes back, Cancel keeps the old values.
void RunHintOptions(files::HintOptions& options, QWidget* parent);

}  // namespace ui
