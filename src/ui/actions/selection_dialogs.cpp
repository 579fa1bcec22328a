#include "ui/actions/selection_dialogs.h"

#include "ui/actions/backup_dialog.h"
#include "ui/actions/directories_dialog.h"

namespace ui {

std::optional<files::DirectoriesChoice> WindowSelectionDialogs::AskDirectories(
    const files::DirectoriesChoice& shown) {
  return DirectoriesDialog::Ask(shown, parent_);
}

std::optional<files::BackupChoice> WindowSelectionDialogs::AskBackup(
    const files::BackupChoice& shown, char backsUpFrom) {
  BackupTargets targets{backsUpFrom, {}};
  if (backsUpFrom != '\0' && driveFacts_) targets.drives = driveFacts_();
  return BackupDialog::Ask(shown, driveTexts_ ? driveTexts_() : QStringList(), targets, parent_);
}

}  // namespace ui
