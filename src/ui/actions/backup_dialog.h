#pragma once
// "Back Up\Restore": the drive that backs up or restores, and whether folders are
// followed down to their subfolders. Backing up, the drives on the source's own
// filesystem are greyed and refused, and the default is the drive with the most room
// elsewhere.

#include <QDialog>
#include <QStringList>
#include <optional>
#include <vector>

#include "files/action_selection.h"
#include "files/backup_drives.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace ui {

// What decides which drives a back-up may go to.
struct BackupTargets {
  char backsUpFrom = '\0';  // the source drive; '\0' when nothing is backed up
  std::vector<files::BackupDriveFacts> drives;
};

class BackupDialog : public QDialog {
  Q_OBJECT

 public:
  // `drives`: the texts of the drive items at the top of the folders tree.
  BackupDialog(const files::BackupChoice& shown, const QStringList& drives,
               const BackupTargets& targets, QWidget* parent);

  files::BackupChoice Choice() const;

  // Shows the dialog modally: the choice on OK, nothing on Cancel.
  static std::optional<files::BackupChoice> Ask(const files::BackupChoice& shown,
                                                const QStringList& drives,
                                                const BackupTargets& targets, QWidget* parent);

 private:
  bool Allowed(int index) const;
  int IndexOfLetter(char letter) const;
  void SelectInitial(const QString& target);
  void ShowWhetherAllowed();
  void Confirm();

  BackupTargets targets_;
  QCheckBox* includeSubfolders_;
  QComboBox* drive_;
  QLabel* note_;
  QPushButton* ok_;
};

}  // namespace ui
