#pragma once
// "How to set actions for directories...": whether an action chosen for a folder reaches
// its subfolders and its files too.

#include <QDialog>
#include <optional>

#include "files/action_selection.h"

class QCheckBox;

namespace ui {

class DirectoriesDialog : public QDialog {
  Q_OBJECT

 public:
  DirectoriesDialog(const files::DirectoriesChoice& shown, QWidget* parent);

  files::DirectoriesChoice Choice() const;

  // Shows the dialog modally: the choice on OK, nothing on Cancel.
  static std::optional<files::DirectoriesChoice> Ask(const files::DirectoriesChoice& shown,
                                                     QWidget* parent);

 private:
  QCheckBox* subfolders_;
  QCheckBox* files_;
};

}  // namespace ui
