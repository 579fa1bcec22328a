#pragma once
// The selection commands' dialogs as windows over the main frame.

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "files/action_selection.h"
#include "files/backup_drives.h"

namespace ui {

class WindowSelectionDialogs : public files::SelectionDialogs {
 public:
  // `driveTexts` answers the texts of the drive items of the folders tree when asked,
  // `driveFacts` the filesystem and free space of every mapped drive.
  WindowSelectionDialogs(QWidget* parent, std::function<QStringList()> driveTexts,
                         std::function<std::vector<files::BackupDriveFacts>()> driveFacts)
      : parent_(parent), driveTexts_(std::move(driveTexts)), driveFacts_(std::move(driveFacts)) {}

  std::optional<files::DirectoriesChoice> AskDirectories(
      const files::DirectoriesChoice& shown) override;
  std::optional<files::BackupChoice> AskBackup(const files::BackupChoice& shown,
                                               char backsUpFrom) override;

 private:
  QPointer<QWidget> parent_;
  std::function<QStringList()> driveTexts_;
  std::function<std::vector<files::BackupDriveFacts>()> driveFacts_;
};

}  // namespace ui
