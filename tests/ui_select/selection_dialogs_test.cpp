#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>

#include "ui/actions/backup_dialog.h"
#include "ui/actions/directories_dialog.h"
#include "ui/actions/selection_dialogs.h"

namespace ui {
namespace {

QPushButton* Button(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  return dialog.findChild<QDialogButtonBox*>()->button(which);
}

// Plays the user on the next modal dialog: `act` gets it once it is shown.
void OnNextDialog(std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

TEST(DirectoriesDialog, ShowsTheFlagsAndAnswersTheBoxesOnOkOnly) {
  DirectoriesDialog dialog({true, false}, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "How to set actions for directories...");
  EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Options");
  auto* subfolders = dialog.findChild<QCheckBox*>("SubfoldersToo");
  auto* files = dialog.findChild<QCheckBox*>("FilesToo");
  ASSERT_TRUE(subfolders && files);
  EXPECT_EQ(subfolders->text(), "Set same actions for subdirectories");
  EXPECT_EQ(files->text(), "Set same actions for files in directories");
  EXPECT_TRUE(subfolders->isChecked());
  EXPECT_FALSE(files->isChecked());

  OnNextDialog([](QDialog& shown) {
    shown.findChild<QCheckBox*>("SubfoldersToo")->setChecked(false);
    shown.findChild<QCheckBox*>("FilesToo")->setChecked(true);
    Button(shown, QDialogButtonBox::Ok)->click();
  });
  const auto answer = DirectoriesDialog::Ask({true, false}, nullptr);
  ASSERT_TRUE(answer.has_value());
  EXPECT_FALSE(answer->subfoldersToo);
  EXPECT_TRUE(answer->filesInFoldersToo);

  OnNextDialog([](QDialog& shown) {
    shown.findChild<QCheckBox*>("FilesToo")->setChecked(true);
    Button(shown, QDialogButtonBox::Cancel)->click();
  });
  EXPECT_FALSE(DirectoriesDialog::Ask({}, nullptr).has_value());
}

TEST(BackupDialog, SortsTheDrivesAndSelectsTheFirstMatchingTheTarget) {
  BackupDialog dialog({true, "E"}, {"F: [Media]", "C: [System]", "Ex", "E: [Data]"}, {}, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Back Up\\Restore");
  auto* drive = dialog.findChild<QComboBox*>("BackupDrive");
  ASSERT_NE(drive, nullptr);
  ASSERT_EQ(drive->count(), 4);
  EXPECT_EQ(drive->itemText(0), "C: [System]");
  EXPECT_EQ(drive->currentText(), "E: [Data]");
  EXPECT_TRUE(dialog.findChild<QCheckBox*>("IncludeSubfolders")->isChecked());
  EXPECT_EQ(dialog.findChild<QCheckBox*>("IncludeSubfolders")->text(), "Include Subdirectories");
  EXPECT_EQ(dialog.Choice().backupTarget, "E: [Data]");

  OnNextDialog([](QDialog& shown) {
    shown.findChild<QComboBox*>("BackupDrive")->setCurrentIndex(2);
    shown.findChild<QCheckBox*>("IncludeSubfolders")->setChecked(false);
    Button(shown, QDialogButtonBox::Ok)->click();
  });
  const auto answer = BackupDialog::Ask({true, ""}, {"C:", "D:", "G:"}, {}, nullptr);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->backupTarget, "G:");
  EXPECT_FALSE(answer->includeSubfolders);
}

TEST(BackupDialog, RefusesToConfirmWithoutADrive) {
  OnNextDialog([](QDialog& shown) {
    QPushButton* ok = Button(shown, QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    Q_EMIT shown.findChild<QDialogButtonBox*>()->accepted();  // e.g. Enter
    EXPECT_TRUE(shown.isVisible());
    shown.reject();
  });
  WindowSelectionDialogs dialogs(nullptr, [] { return QStringList(); }, {});
  EXPECT_FALSE(dialogs.AskBackup({false, "E:"}, '\0').has_value());
}

// D: and E: are one disk, C: and F: others; C: has the most room.
const BackupTargets kFromD{'D', {{'C', 1, 900}, {'D', 2, 50}, {'E', 2, 50}, {'F', 3, 400}}};

TEST(BackupDialog, BackingUpGreysTheSourcesDiskDefaultsElsewhereAndStaysOpenWhenRefused) {
  const QStringList drives{"C:", "D: [Data]", "E:", "F:"};
  OnNextDialog([](QDialog& shown) {
    auto* drive = shown.findChild<QComboBox*>("BackupDrive");
    EXPECT_EQ(drive->currentText(), "C:");  // the kept "E" lies on D:'s disk
    const auto* items = qobject_cast<QStandardItemModel*>(drive->model());
    EXPECT_FALSE(items->item(2)->isEnabled());
    EXPECT_TRUE(items->item(3)->isEnabled());
    drive->setCurrentIndex(2);
    Q_EMIT shown.findChild<QDialogButtonBox*>()->accepted();
    EXPECT_TRUE(shown.isVisible());
    EXPECT_TRUE(shown.findChild<QLabel*>("BackupDriveNote")->text().startsWith(
        "You can't Back Up to current disk."));
    drive->setCurrentIndex(3);
    Button(shown, QDialogButtonBox::Ok)->click();
  });
  const auto answer = BackupDialog::Ask({false, "E"}, drives, kFromD, nullptr);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->backupTarget, "F:");

  BackupDialog alone({false, ""}, {"D: [Data]", "E:"}, kFromD, nullptr);
  EXPECT_FALSE(Button(alone, QDialogButtonBox::Ok)->isEnabled());
  EXPECT_TRUE(alone.findChild<QLabel*>("BackupDriveNote")->text().contains("nothing to back up to"));
}

}  // namespace
}  // namespace ui
