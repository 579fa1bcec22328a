// Every control a user can reach in the dialogs, sheets and database pages answers
// "What's This": a control added without a text makes these tests fail.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWhatsThis>

#include "activity/drive_table.h"
#include "analysis/cluster_analysis.h"
#include "files/action_selection.h"
#include "files/hints.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/temp_drives.h"
#include "support_ui/qt_application.h"
#include "ui/actions/backup_dialog.h"
#include "ui/actions/directories_dialog.h"
#include "ui/actions/overwrite_prompt.h"
#include "ui/actions/perform_dialog.h"
#include "ui/analysis/change_cluster_size_dialog.h"
#include "ui/analysis/cluster_analysis_dialog.h"
#include "ui/dbpages/date_time_page.h"
#include "ui/dbpages/location_page.h"
#include "ui/dbpages/size_page.h"
#include "ui/help/control_help.h"
#include "ui/list/hint_options_dialog.h"
#include "ui/properties/property_sheets.h"
#include "ui/tips/daily_tip_dialog.h"

namespace ui {
namespace {

using testing_support::App;

// Parts that Qt builds inside a control (a spin box's edit, a tab bar's arrows) belong
// to that control and share its help.
bool InsideCompositeControl(const QWidget& widget, const QWidget& root) {
  for (const QWidget* up = widget.parentWidget(); up && up != &root; up = up->parentWidget()) {
    if (qobject_cast<const QAbstractSpinBox*>(up) || qobject_cast<const QComboBox*>(up) ||
        qobject_cast<const QTabBar*>(up) || qobject_cast<const QAbstractItemView*>(up)) {
      return true;
    }
  }
  return false;
}

bool NeedsHelp(const QWidget& widget) {
  if (widget.objectName().startsWith(QLatin1String("qt_"))) return false;
  if (qobject_cast<const QHeaderView*>(&widget)) return false;
  if (qobject_cast<const QLabel*>(&widget)) return !widget.objectName().isEmpty();
  return qobject_cast<const QAbstractButton*>(&widget) || qobject_cast<const QComboBox*>(&widget) ||
         qobject_cast<const QAbstractSpinBox*>(&widget) || qobject_cast<const QSlider*>(&widget) ||
         qobject_cast<const QAbstractItemView*>(&widget) || qobject_cast<const QLineEdit*>(&widget);
}

// The controls of `root` that should answer "What's This" but do not, by class and name.
QStringList WithoutHelp(const QWidget& root) {
  QStringList missing;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    if (qobject_cast<const QTabBar*>(widget) || InsideCompositeControl(*widget, root)) continue;
    if (NeedsHelp(*widget) && widget->whatsThis().trimmed().isEmpty()) {
      const auto* button = qobject_cast<const QAbstractButton*>(widget);
      missing << QString("%1 '%2' %3").arg(widget->metaObject()->className(), widget->objectName(),
                                           button ? button->text() : QString());
    }
  }
  return missing;
}

int Checked(const QWidget& root) {
  int count = 0;
  for (const QWidget* widget : root.findChildren<QWidget*>()) {
    if (!qobject_cast<const QTabBar*>(widget) && !InsideCompositeControl(*widget, root) &&
        NeedsHelp(*widget)) {
      ++count;
    }
  }
  return count;
}

void ExpectFullHelp(const QWidget& root, int atLeast) {
  EXPECT_EQ(WithoutHelp(root).join("; ").toStdString(), "") << root.metaObject()->className();
  // Guards against a walk that sees nothing, which would pass trivially.
  EXPECT_GE(Checked(root), atLeast) << root.metaObject()->className();
  if (root.isWindow()) {
    EXPECT_TRUE(root.windowFlags().testFlag(Qt::WindowContextHelpButtonHint))
        << root.metaObject()->className();
  }
}

TEST(ControlHelpTable, FindsDialogTextsFirstThenSharedOnesAndNothingForStrangers) {
  EXPECT_NE(ControlHelp("BackupDialog", "Ok"), ControlHelp("HintOptions", "Ok"));
  EXPECT_EQ(ControlHelp("HintOptions", "Cancel"), ControlHelp("BackupDialog", "Cancel"));
  EXPECT_FALSE(ControlHelp("HintOptions", "Ok").isEmpty());
  EXPECT_TRUE(ControlHelp("HintOptions", "Unknown").isEmpty());
  EXPECT_TRUE(ControlHelp("HintOptions", "").isEmpty());
  EXPECT_TRUE(ControlHelp("", "ByAccessType").isEmpty());
}

TEST(ControlHelp, ActionDialogsAnswerForEveryControl) {
  App();
  const BackupDialog backup({true, "E:"}, {"C: System", "E: Spare"}, {}, nullptr);
  ExpectFullHelp(backup, 4);
  const DirectoriesDialog directories({true, false}, nullptr);
  ExpectFullHelp(directories, 4);
  const COverwritePrompt overwrite(nullptr);
  ExpectFullHelp(overwrite, 5);
  const HintOptionsDialog hints(common::HintOptions{}, nullptr);
  ExpectFullHelp(hints, 6);

  testing_support::TempDrives drives{"C"};
  activity::AppState state;
  testing_support::ScriptedPrompter prompter;
  scan::CFolderInfo driveList;
  const CPerformDialog perform(state, drives.System(), prompter, driveList);
  ExpectFullHelp(perform, 8);
  // The overwrite question belongs to the run and is reached from it.
  for (const COverwritePrompt* inner : perform.findChildren<COverwritePrompt*>()) {
    ExpectFullHelp(*inner, 5);
  }
}

TEST(ControlHelp, ClusterDialogsAndTipsAnswerForEveryControl) {
  App();
  analysis::ClusterAnalysisResult result;
  result.driveRoot = "D:\\";
  result.data.fill(40000000);
  result.allocated.fill(42000000);
  result.optimalClusterSize = 1024;
  const CClusterAnalysisDlg analysisDialog(result);
  ExpectFullHelp(analysisDialog, 1 + 2 * static_cast<int>(analysis::kClusterSizeCount) + 5);

  std::string lastNewSize;
  const CChangeClusterSizeDlg change("4096", "1024", lastNewSize, {}, {});
  ExpectFullHelp(change, 9);

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing_support::ScriptedPrompter prompter;
  const CDailyTipDialog tips(dir.filePath("config"), dir.filePath("absent.txt"), prompter);
  ExpectFullHelp(tips, 4);
}

// Shift+F1 on the focused control is the keyboard way to its text.
TEST(ControlHelp, ShiftF1ShowsTheFocusedControlsText) {
  App();
  HintOptionsDialog dialog(common::HintOptions{}, nullptr);
  dialog.show();
  auto* box = dialog.findChild<QAbstractButton*>("ByLastAccess");
  ASSERT_NE(box, nullptr);
  box->setFocus();
  QTest::keyClick(box, Qt::Key_F1, Qt::ShiftModifier);
  bool bubbleShown = false;
  for (const QWidget* top : QApplication::topLevelWidgets()) {
    bubbleShown = bubbleShown || (top->isVisible() && top->inherits("QWhatsThat"));
  }
  QWhatsThis::hideText();
  EXPECT_TRUE(bubbleShown);
}

class SheetHelpTest : public ::testing::Test {
 protected:
  SheetHelpTest() { App(); }
  void ExpectEveryTab(const QDialog& sheet, int pages) {
    ExpectFullHelp(sheet, 2);
    const auto* tabs = sheet.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), pages);
    for (int i = 0; i < tabs->count(); ++i) {
      EXPECT_EQ(WithoutHelp(*tabs->widget(i)).join("; ").toStdString(), "")
          << tabs->tabText(i).toStdString();
      EXPECT_GE(Checked(*tabs->widget(i)), 1) << tabs->tabText(i).toStdString();
    }
  }

  testing_support::TempDrives drives_{"CD"};
  activity::DriveTable table_;
  scan::CFolderInfo driveList_;
  testing_support::ScriptedPrompter prompter_;
};

TEST_F(SheetHelpTest, DriveFolderAndSelectionSheetsAnswerOnEveryPage) {
  scan::CFolderInfo& root = scan::RecordForPath(driveList_, "D:\\");
  const CTreeProperties drive("Drive properties: D: Data", root, drives_.System(), table_);
  ExpectEveryTab(drive, 2);
  const CTreeProperties folder("Directory properties: D:\\", root, drives_.System(), table_);
  ExpectEveryTab(folder, 1);
  const std::vector<std::uint32_t> none;
  const CListProperties selection(root, none, drives_.System());
  ExpectEveryTab(selection, 1);
}

TEST_F(SheetHelpTest, DatabasePagesAnswerForEveryControl) {
  ASSERT_TRUE(table_.Load(drives_.System()));
  activity::DriveRecord record;
  record.drive = activity::DriveNumber('C');
  record.location = activity::DriveNumber('C');
  table_.NewState() = {record};
  DatabasePageContext context{table_, drives_.System(), prompter_, {},
                              [] { return QStringList{"C: System", "D: Data"}; }, {}};
  const CDP_Location location('C', context);
  ExpectFullHelp(location, 7);
  const CDP_Size size('C', context);
  ExpectFullHelp(size, 8);
  const CDP_DateTime dateTime('C', context);
  ExpectFullHelp(dateTime, 12);
}

}  // namespace
}  // namespace ui
