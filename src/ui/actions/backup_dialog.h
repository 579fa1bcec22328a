#pragma once
// "Back Up\Restore": the drive that backs up or restores, and whether folders are
// followed down to their subfolders.

#include <QDialog>
#include <QStringList>
#include <optional>

#include "files/action_selection.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace ui {

class BackupDialog : public QDialog {
  Q_OBJECT

 public:
  // `drives`: the texts of the drive items at the top of the folders tree.
  BackupDialog(const files::BackupChoice& shown, const QStringList& drives, QWidget* parent);

  files::BackupChoice Choice() const;

  // Shows the dialog modally: the choice on OK, nothing on Cancel.
  static std::optional<files::BackupChoice> Ask(const files::BackupChoice& shown,
                                                const QStringList& drives, QWidget* parent);

 private:
  QCheckBox* includeSubfolders_;
  QComboBox* drive_;
  QPushButton* ok_;
};

}  // namespace ui
