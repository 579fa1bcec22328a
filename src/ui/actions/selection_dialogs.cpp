#include "ui/actions/selection_dialogs.h"

#include "ui/actions/backup_dialog.h"
#include "ui/actions/directories_dialog.h"

namespace ui {

std::optional<files::DirectoriesChoice> WindowSelectionDialogs::AskDirectories(
    const files::DirectoriesChoice& shown) {
  return DirectoriesDialog::Ask(shown, parent_);
}

std::optional<files::BackupChoice> WindowSelectionDialogs::AskBackup(
    const files::BackupChoice& shown) {
  return BackupDialog::Ask(shown, driveTexts_ ? driveTexts_() : QStringList(), parent_);
}

}  // namespace ui
