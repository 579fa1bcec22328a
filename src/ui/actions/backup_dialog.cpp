#include "ui/actions/backup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/base/dialog_size.h"
#include "ui/help/control_help.h"

namespace ui {

BackupDialog::BackupDialog(const files::BackupChoice& shown, const QStringList& drives,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("BackupDialog"));
  setWindowTitle(QStringLiteral("Back Up\\Restore"));

  auto* options = new QGroupBox(QStringLiteral("Options"), this);
  includeSubfolders_ = new QCheckBox(QStringLiteral("Include Subdirectories"), options);
  includeSubfolders_->setObjectName(QStringLiteral("1132"));
  includeSubfolders_->setChecked(shown.includeSubfolders);

  drive_ = new QComboBox(options);
  drive_->setObjectName(QStringLiteral("1190"));
  QStringList sorted = drives;
  sorted.sort(Qt::CaseInsensitive);
  drive_->addItems(sorted);
  const QString target = QString::fromStdString(shown.backupTarget);
  for (int i = 0; i < drive_->count(); ++i) {
    if (drive_->itemText(i).startsWith(target, Qt::CaseInsensitive)) {
      drive_->setCurrentIndex(i);
      break;
    }
  }
  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(new QLabel(QStringLiteral("Backup Drive:"), options));
  driveRow->addWidget(drive_, 1);

  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(includeSubfolders_);
  optionsLayout->addLayout(driveRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  // Without a drive there is nothing to back up to: OK waits for a choice.
  ok_->setEnabled(drive_->currentIndex() >= 0);
  connect(drive_, &QComboBox::currentIndexChanged, this,
          [this](int index) { ok_->setEnabled(index >= 0); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (drive_->currentIndex() >= 0) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options);
  layout->addWidget(buttons);
  FixSizeKeepingTitle(*this);
  AttachControlHelp(*this);
}

files::BackupChoice BackupDialog::Choice() const {
  return {includeSubfolders_->isChecked(), drive_->currentText().toStdString()};
}

std::optional<files::BackupChoice> BackupDialog::Ask(const files::BackupChoice& shown,
                                                     const QStringList& drives, QWidget* parent) {
  BackupDialog dialog(shown, drives, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace ui
