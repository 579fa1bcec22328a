#pragma once
// The selection commands' dialogs as windows over the main frame.

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "files/action_selection.h"

namespace ui {

class WindowSelectionDialogs : public files::SelectionDialogs {
 public:
  // `driveTexts` answers the texts of the drive items of the folders tree when asked.
  WindowSelectionDialogs(QWidget* parent, std::function<QStringList()> driveTexts)
      : parent_(parent), driveTexts_(std::move(driveTexts)) {}

  std::optional<files::DirectoriesChoice> AskDirectories(
      const files::DirectoriesChoice& shown) override;
  std::optional<files::BackupChoice> AskBackup(const files::BackupChoice& shown) override;

 private:
  QPointer<QWidget> parent_;
  std::function<QStringList()> driveTexts_;
};

}  // namespace ui
