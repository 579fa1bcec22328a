#include "ui/actions/directories_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include "ui/base/dialog_size.h"
#include "ui/help/control_help.h"

namespace ui {

DirectoriesDialog::DirectoriesDialog(const files::DirectoriesChoice& shown, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("DirectoriesDialog"));
  setWindowTitle(QStringLiteral("How to set actions for directories..."));

  auto* options = new QGroupBox(QStringLiteral("Options"), this);
  subfolders_ = new QCheckBox(QStringLiteral("Set same actions for subdirectories"), options);
  subfolders_->setObjectName(QStringLiteral("SubfoldersToo"));
  subfolders_->setChecked(shown.subfoldersToo);
  files_ = new QCheckBox(QStringLiteral("Set same actions for files in directories"), options);
  files_->setObjectName(QStringLiteral("FilesToo"));
  files_->setChecked(shown.filesInFoldersToo);
  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(subfolders_);
  optionsLayout->addWidget(files_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options);
  layout->addWidget(buttons);
  FixSizeKeepingTitle(*this);
  AttachControlHelp(*this);
}

files::DirectoriesChoice DirectoriesDialog::Choice() const {
  return {subfolders_->isChecked(), files_->isChecked()};
}

std::optional<files::DirectoriesChoice> DirectoriesDialog::Ask(
    const files::DirectoriesChoice& shown, QWidget* parent) {
  DirectoriesDialog dialog(shown, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace ui
