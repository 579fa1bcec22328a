#pragma once
// "Hint options" (dialog 163): the four hint switches, kept for the run.

#include <QDialog>

#include "common/hint_options.h"

class QCheckBox;

namespace ui {

class HintOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  HintOptionsDialog(const common::HintOptions& options, QWidget* parent);
  common::HintOptions Options() const;

  static constexpr int kResourceId = 163;

 private:
  QCheckBox* byAccess_;
  QCheckBox* byDate_;
  QCheckBox* bySize_;
  QCheckBox* byUsed_;
};

// Runs the dialog over `options`: OK stores the boxes back, Cancel keeps the old values.
void RunHintOptions(common::HintOptions& options, QWidget* parent);

}  // namespace ui
