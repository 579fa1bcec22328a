// The commands that join the two panes, on the real frame: each key reaches the pane
// that owns its command and opens that command's dialog; windows that keep records hold
// off the scans' hand-overs.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "activity/app_state.h"
#include "ui/analysis/change_cluster_size_dialog.h"
#include "ui/actions/backup_dialog.h"
#include "ui/actions/perform_dialog.h"
#include "ui/analysis/cluster_analysis_dialog.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "scan/scan_controller.h"
#include "ui/frame/close_sequence.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/help/help_window.h"
#include "ui/list/files_model.h"
#include "ui/properties/property_sheets.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace {

class PaneCommandsTest : public testing_support::FrameTest {
 protected:
  PaneCommandsTest() {
    drives.WriteFile("D:\\root.txt", "12345");
    drives.WriteFile("D:\\Work\\a.txt", "abc");
    OpenFrame();
  }

  // The Files list's row of the entry `name`, or -1.
  int ListRow(const std::string& name) {
    const ui::CFilesList& list = frame->List();
    for (int row = 0; row < list.model()->rowCount(); ++row) {
      if (list.Model().Row(row).Name() == name) return row;
    }
    return -1;
  }

  // Selects drive D and scans it whole; the Files list then shows D:\.
  void ScanDriveD() {
    const QModelIndex d = Drive('D');
    ASSERT_TRUE(d.isValid());
    frame->Tree().setCurrentIndex(d);
    commands.SetActiveView(ui::Target::Tree);
    ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
    WaitForScan();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    ASSERT_TRUE(state.DriveScanned[activity::DriveIndex('D')].load());
    ASSERT_NE(frame->List().ShownFolder(), nullptr);
  }

  // Triggers the frame's accelerator for `keys`, as pressing them does; true when that
  // opened a modal `Dialog` (closed again by then). `inDialog` runs on it while it is up.
  template <typename Dialog>
  bool PressOpens(const QKeySequence& keys, const std::function<void(QDialog&)>& inDialog = {}) {
    QAction* shortcut = nullptr;
    for (QAction* action : frame->actions()) {
      if (action->shortcuts().contains(keys)) shortcut = action;
    }
    if (shortcut == nullptr) {
      ADD_FAILURE() << "no accelerator " << keys.toString().toStdString();
      return false;
    }
    return Opens<Dialog>([shortcut] { shortcut->trigger(); }, inDialog, keys.toString().toStdString());
  }

  template <typename Dialog>
  bool Opens(const std::function<void()>& trigger, const std::function<void(QDialog&)>& inDialog,
             const std::string& what) {
    bool opened = false;
    bool matched = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      if (opened) return;
      opened = true;
      matched = dynamic_cast<Dialog*>(dialog) != nullptr;
      if (matched && inDialog) inDialog(*dialog);
      dialog->reject();
    });
    poll.start();
    // Only ends a dialog that never closes; tied to `poll` so it cannot fire into a later test.
    QTimer::singleShot(60000, &poll, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    trigger();
    poll.stop();
    EXPECT_TRUE(!opened || matched) << "another dialog opened for " << what;
    return opened && matched;
  }

};

const QKeySequence kAltA(Qt::AltModifier | Qt::Key_A);
const QKeySequence kAltEnter(Qt::AltModifier | Qt::Key_Return);
const QKeySequence kCtrlC(Qt::ControlModifier | Qt::Key_C);
const QKeySequence kCtrlEnter(Qt::ControlModifier | Qt::Key_Return);

TEST_F(PaneCommandsTest, TreeKeysOpenTheAnalysisAndTheDriveSheetOfAScannedDrive) {
  ScanDriveD();
  EXPECT_TRUE(PressOpens<ui::CClusterAnalysisDlg>(kAltA));
  EXPECT_TRUE(PressOpens<ui::CTreeProperties>(kAltEnter));
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(PaneCommandsTest, HelpOfTheChangeDialogOpensItsPageFromTheTreeAndFromTheList) {
  ScanDriveD();
  const auto pressHelp = [this](QDialog& dialog) {
    auto* help = dialog.findChild<QPushButton*>(QStringLiteral("Help"));
    ASSERT_NE(help, nullptr);
    help->click();
    EXPECT_TRUE(frame->Help().isVisible());
    EXPECT_EQ(frame->Help().CurrentPage(), QStringLiteral("cluster_size.html"));
    frame->Help().close();
  };
  EXPECT_TRUE(PressOpens<ui::CChangeClusterSizeDlg>(QKeySequence(Qt::AltModifier | Qt::Key_C), pressHelp));
  frame->List().selectRow(0);
  EXPECT_TRUE(PressOpens<ui::CChangeClusterSizeDlg>(kCtrlC, pressHelp));
}

// What such a window shows or acts on are records: no scan may replace them meanwhile.
TEST_F(PaneCommandsTest, WindowsThatKeepRecordsHoldOffScanHandOvers) {
  ScanDriveD();
  const auto held = [this](QDialog&) { EXPECT_TRUE(frame->Document().Scanner().RecordsHeld()); };
  state.PendingActionCount = 1;
  EXPECT_TRUE(Opens<ui::CPerformDialog>([this] { commands.Execute(ui::cmd::kPerformActions); }, held, "perform"));
  EXPECT_TRUE(PressOpens<ui::CTreeProperties>(kAltEnter, held));
  frame->List().selectRow(0);
  EXPECT_TRUE(PressOpens<ui::CListProperties>(kCtrlEnter, held));
  commands.SetActiveView(ui::Target::List);
  EXPECT_TRUE(Opens<ui::BackupDialog>([this] { commands.Execute(ui::cmd::kBackup); }, held, "back up"));
  EXPECT_FALSE(frame->Document().Scanner().RecordsHeld());

  // Closing asks about the pending actions before it hands them over.
  ui::InstallCloseSequence(*frame);
  std::vector<bool> heldWhileAsked;
  prompter.onAsk = [&](const common::Message&) { heldWhileAsked.push_back(frame->Document().Scanner().RecordsHeld()); };
  prompter.answers.push_back(common::Answer::No);
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(heldWhileAsked, std::vector<bool>{true});
  EXPECT_FALSE(frame->Document().Scanner().RecordsHeld());
}

// Ctrl+C on D:\Work\a.txt, "Size analysis", Yes to the rescan it asks for, the analysis
// that follows the rescan, then OK with another size: the rescan has replaced the folder
// the dialog was opened for, and the size must reach the entry as it is now.
TEST_F(PaneCommandsTest, ChangingTheSizeAfterTheRescanOfSizeAnalysisReachesTheNewRecords) {
  ui::CDriveTree& tree = frame->Tree();
  tree.expand(Drive('D'));  // a shallow read: the drive does not count as scanned
  QElapsedTimer timer;
  timer.start();
  while (!tree.isExpanded(Drive('D')) && timer.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  tree.setCurrentIndex(tree.FindChildItem(Drive('D'), QStringLiteral("Work")));
  ui::CFilesList& list = frame->List();
  ASSERT_EQ(list.model()->rowCount(), 1);
  list.selectRow(0);
  ASSERT_FALSE(state.DriveScanned[activity::DriveIndex('D')].load());

  prompter.answers.push_back(common::Answer::Yes);
  int step = 0;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* change = dynamic_cast<ui::CChangeClusterSizeDlg*>(modal);
    if (step == 0 && change != nullptr) {
      step = 1;
      change->findChild<QPushButton*>(QStringLiteral("SizeAnalysis"))->click();
    } else if (step == 1 && dynamic_cast<ui::CClusterAnalysisDlg*>(modal) != nullptr) {
      step = 2;
      static_cast<QDialog*>(modal)->accept();
    } else if (step == 2 && change != nullptr) {
      step = 3;
      change->NewSizeBox().setEditText(QStringLiteral("65536"));
      change->findChild<QPushButton*>(QStringLiteral("Ok"))->click();
    }
  });
  poll.start();
  QTimer::singleShot(60000, &poll, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  ASSERT_TRUE(commands.Execute(ui::cmd::kListChangeClusterSize));
  poll.stop();
  ASSERT_EQ(step, 3);
  EXPECT_TRUE(state.DriveScanned[activity::DriveIndex('D')].load());

  const scan::CFolderInfo* work = tree.RecordOf(tree.FindChildItem(Drive('D'), QStringLiteral("Work")));
  ASSERT_NE(work, nullptr);
  ASSERT_EQ(work->Count(), 1u);
  EXPECT_EQ(work->ActualSize(0), 65536u);
  EXPECT_GE(tree.RecordOf(Drive('D'))->totalActualSize, 65536u);  // the drive's totals follow
}

TEST_F(PaneCommandsTest, AnalysisOfADriveNotScannedAsksToRescanInstead) {
  frame->Tree().setCurrentIndex(Drive('E'));
  prompter.answers.push_back(common::Answer::No);
  EXPECT_FALSE(PressOpens<ui::CClusterAnalysisDlg>(kAltA));
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_FALSE(state.PendingClusterAnalysis);
}

TEST_F(PaneCommandsTest, ListKeysActOnlyOnASelection) {
  ScanDriveD();
  ui::CFilesList& list = frame->List();
  list.clearSelection();
  EXPECT_FALSE(commands.Query(ui::cmd::kListChangeClusterSize).Enabled());
  EXPECT_FALSE(PressOpens<ui::CChangeClusterSizeDlg>(kCtrlC));
  EXPECT_FALSE(PressOpens<ui::CListProperties>(kCtrlEnter));

  ASSERT_GT(list.model()->rowCount(), 0);
  list.selectRow(0);
  ASSERT_FALSE(list.SelectedEntries().empty());
  EXPECT_TRUE(PressOpens<ui::CChangeClusterSizeDlg>(kCtrlC));
  EXPECT_TRUE(PressOpens<ui::CListProperties>(kCtrlEnter));
  // A cancelled change leaves the list showing the same folder.
  EXPECT_NE(list.ShownFolder(), nullptr);
}

TEST_F(PaneCommandsTest, TheListShowsTheTreesFolderAndOpensSubfoldersInTheTree) {
  ScanDriveD();
  ui::CFilesList& list = frame->List();
  EXPECT_EQ(list.ShownFolder(), frame->Tree().RecordOf(Drive('D')));
  const int work = ListRow("Work");
  ASSERT_GE(work, 0);
  list.setCurrentIndex(list.model()->index(work, 0));
  list.OpenFocused();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  const QModelIndex current = frame->Tree().CurrentItem();
  EXPECT_EQ(frame->Tree().PathOfItem(current), QStringLiteral("D:\\Work\\"));
  EXPECT_EQ(list.ShownFolder(), frame->Tree().RecordOf(current));
}

// Opening a subfolder whose own subfolders were never read reads the shown folder first
// and selects the subfolder once that scan has placed it.
TEST_F(PaneCommandsTest, OpeningAnUnreadSubfolderReadsItThenSelectsItInTheTree) {
  drives.WriteFile("D:\\Work\\Deep\\Deeper\\x.txt", "x");
  ui::CDriveTree& tree = frame->Tree();
  tree.expand(Drive('D'));  // reads D: two levels deep: Work's subfolders stay unread
  ASSERT_TRUE(RunUntil([&] { return tree.isExpanded(Drive('D')) && !state.ScanInProgress.load(); }));
  WaitForScan();
  tree.setCurrentIndex(tree.FindChildItem(Drive('D'), QStringLiteral("Work")));
  ui::CFilesList& list = frame->List();
  const int deep = ListRow("Deep");
  ASSERT_GE(deep, 0);
  list.setCurrentIndex(list.model()->index(deep, 0));
  list.OpenFocused();
  ASSERT_TRUE(RunUntil([&] { return tree.PathOfItem(tree.CurrentItem()) == QStringLiteral("D:\\Work\\Deep\\"); }))
      << tree.PathOfItem(tree.CurrentItem()).toStdString();
  WaitForScan();
  EXPECT_EQ(list.ShownFolder(), tree.RecordOf(tree.CurrentItem()));
}

}  // namespace
