#pragma once
// The overwrite prompt "Back Up": names an existing file that a run would replace (a
// back-up copy, or a source written since its back-up) and asks whether to write over it
// (Overwrite, Skip, All, or Stop the run).

#include <QDialog>

#include "files/action_engine.h"

class QLabel;

namespace ui {

class COverwritePrompt : public QDialog {
  Q_OBJECT

 public:
  explicit COverwritePrompt(QWidget* parent);
  // Shows the prompt modally for `existingPath` and answers the button pressed.
  // `versions`, shown below the question, tells the two files apart.
  files::OverwriteAnswer Ask(const QString& existingPath, const QString& versions = {});

 private:
  void Answer(files::OverwriteAnswer answer);

  QLabel* path_ = nullptr;
  QLabel* versions_ = nullptr;
  files::OverwriteAnswer answer_ = files::OverwriteAnswer::Skip;
};

}  // namespace ui
