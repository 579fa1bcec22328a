#include "ui/actions/backup_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "ui/base/dialog_size.h"
#include "ui/help/control_help.h"

namespace ui {

namespace {

char LetterOf(const QString& driveText) {
  return driveText.isEmpty() ? '\0' : driveText.front().toUpper().toLatin1();
}

QString NoTargetText(char source) {
  return QStringLiteral("No drive lies on another disk than %1:, so there is nothing to back up to.")
      .arg(QChar::fromLatin1(source));
}

QString SameDiskText(char source) {
  return QStringLiteral("On the same disk as %1:").arg(QChar::fromLatin1(source));
}

}  // namespace

BackupDialog::BackupDialog(const files::BackupChoice& shown, const QStringList& drives,
                           const BackupTargets& targets, QWidget* parent)
    : QDialog(parent), targets_(targets) {
  setObjectName(QStringLiteral("BackupDialog"));
  setWindowTitle(QStringLiteral("Back Up\\Restore"));

  auto* options = new QGroupBox(QStringLiteral("Options"), this);
  includeSubfolders_ = new QCheckBox(QStringLiteral("Include Subdirectories"), options);
  includeSubfolders_->setObjectName(QStringLiteral("IncludeSubfolders"));
  includeSubfolders_->setChecked(shown.includeSubfolders);

  drive_ = new QComboBox(options);
  drive_->setObjectName(QStringLiteral("BackupDrive"));
  QStringList sorted = drives;
  sorted.sort(Qt::CaseInsensitive);
  drive_->addItems(sorted);
  // A greyed drive cannot be picked with the mouse or the arrow keys.
  if (auto* items = qobject_cast<QStandardItemModel*>(drive_->model())) {
    for (int i = 0; i < drive_->count(); ++i) {
      if (Allowed(i)) continue;
      items->item(i)->setEnabled(false);
      items->item(i)->setToolTip(SameDiskText(targets_.backsUpFrom));
    }
  }
  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(new QLabel(QStringLiteral("Backup Drive:"), options));
  driveRow->addWidget(drive_, 1);
  note_ = new QLabel(options);
  note_->setObjectName(QStringLiteral("BackupDriveNote"));
  note_->setWordWrap(true);

  auto* optionsLayout = new QVBoxLayout(options);
  optionsLayout->addWidget(includeSubfolders_);
  optionsLayout->addLayout(driveRow);
  optionsLayout->addWidget(note_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  SelectInitial(QString::fromStdString(shown.backupTarget));
  ShowWhetherAllowed();
  connect(drive_, &QComboBox::currentIndexChanged, this, [this] { ShowWhetherAllowed(); });
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Confirm(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options);
  layout->addWidget(buttons);
  FixSizeKeepingTitle(*this);
  AttachControlHelp(*this);
}

bool BackupDialog::Allowed(int index) const {
  if (index < 0 || index >= drive_->count()) return false;
  if (targets_.backsUpFrom == '\0') return true;
  return files::MayBackUpOnto(targets_.backsUpFrom, LetterOf(drive_->itemText(index)),
                              targets_.drives);
}

int BackupDialog::IndexOfLetter(char letter) const {
  for (int i = 0; i < drive_->count(); ++i) {
    if (LetterOf(drive_->itemText(i)) == letter) return i;
  }
  return -1;
}

// The drive chosen last time when it may still take the copy, else the default.
void BackupDialog::SelectInitial(const QString& target) {
  int kept = -1;
  for (int i = 0; i < drive_->count() && !target.isEmpty(); ++i) {
    if (drive_->itemText(i).startsWith(target, Qt::CaseInsensitive)) {
      kept = i;
      break;
    }
  }
  if (targets_.backsUpFrom == '\0' || Allowed(kept)) {
    if (kept >= 0) drive_->setCurrentIndex(kept);
    return;
  }
  const auto preferred = files::DefaultBackupDrive(targets_.backsUpFrom, targets_.drives);
  const int index = preferred ? IndexOfLetter(*preferred) : -1;
  if (index >= 0) drive_->setCurrentIndex(index);
}

void BackupDialog::ShowWhetherAllowed() {
  const bool allowed = Allowed(drive_->currentIndex());
  // Without a drive there is nothing to back up to: OK waits for a choice.
  ok_->setEnabled(allowed);
  bool anyAllowed = false;
  for (int i = 0; i < drive_->count() && !anyAllowed; ++i) anyAllowed = Allowed(i);
  if (targets_.backsUpFrom != '\0' && !anyAllowed) {
    note_->setText(NoTargetText(targets_.backsUpFrom));
  } else if (!allowed && drive_->currentIndex() >= 0) {
    note_->setText(QStringLiteral("You can't Back Up to current disk.") + QLatin1Char(' ') +
                   SameDiskText(targets_.backsUpFrom) + QLatin1Char('.'));
  } else {
    note_->clear();
  }
  note_->setVisible(!note_->text().isEmpty());
}

// A refused drive keeps the dialog open for another choice.
void BackupDialog::Confirm() {
  if (Allowed(drive_->currentIndex())) accept();
}

files::BackupChoice BackupDialog::Choice() const {
  return {includeSubfolders_->isChecked(), drive_->currentText().toStdString()};
}

std::optional<files::BackupChoice> BackupDialog::Ask(const files::BackupChoice& shown,
                                                     const QStringList& drives,
                                                     const BackupTargets& targets,
                                                     QWidget* parent) {
  BackupDialog dialog(shown, drives, targets, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace ui
