// "Perform actions" from the frame: what the Files list shows once the run is over.

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "common/space.h"
#include "files/list_format.h"
#include "activity/app_state.h"
#include "support_ui/qt_application.h"
#include "ui/actions/perform_dialog.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/list/files_model.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace {

class PerformInFrameTest : public testing_support::FrameTest {
 protected:
  PerformInFrameTest() {
    drives.WriteFileOfSize("D:\\Work\\big.bin", 300 * 1024);
    drives.WriteFile("D:\\Work\\small.txt", "small");
    OpenFrame();
  }

  void ScanDriveD() {
    Tree().setCurrentIndex(Drive('D'));
    commands.SetActiveView(ui::Target::Tree);
    ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
    WaitForScan();
    ASSERT_FALSE(state.ScanInProgress.load());
  }
  int RowOf(const char* name) {
    for (int row = 0; row < List().model()->rowCount(); ++row) {
      if (List().model()->index(row, activity::kSortName).data().toString() == QLatin1String(name)) return row;
    }
    ADD_FAILURE() << name << " is not listed";
    return 0;
  }
  std::string Cell(const char* name, int column) {
    return List().model()->index(RowOf(name), column).data().toString().trimmed().toStdString();
  }
  // Runs "Perform actions" and presses Go in its dialog, which closes itself at the end.
  void Perform() {
    QTimer go;
    QObject::connect(&go, &QTimer::timeout, [&go] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<ui::CPerformDialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible()) continue;
        if (auto* button = dialog->findChild<QPushButton*>(QStringLiteral("Go")); button && button->isEnabled()) {
          go.stop();
          button->click();
        }
      }
    });
    go.start(10);
    ASSERT_TRUE(commands.Execute(ui::cmd::kPerformActions));
  }

};

TEST_F(PerformInFrameTest, AfterABackUpTheListAndItsCaptionShowTheEmptiedFile) {
  ScanDriveD();
  Tree().setCurrentIndex(Tree().FindChildItem(Tree().CurrentItem(), QStringLiteral("Work")));
  scan::CFolderInfo* work = List().ShownFolder();
  ASSERT_NE(work, nullptr);
  ASSERT_EQ(Cell("big.bin", activity::kSortSize), "307200");
  const QString captionBefore = List().windowTitle();
  ASSERT_TRUE(captionBefore.startsWith(QStringLiteral("Files List    D:\\Work\\ 2 file(s), "))) << captionBefore.toStdString();
  const std::uint32_t big = static_cast<std::uint32_t>(List().Model().Row(RowOf("big.bin")).index);
  work->actions()[big] = 4;
  work->backupDrives()[big] = 'E';
  state.PendingActionCount = 1;

  Perform();

  EXPECT_EQ(drives.ReadFile("D:\\Work\\big.bin"), "");
  EXPECT_EQ(Cell("big.bin", activity::kSortState), "B");
  EXPECT_EQ(Cell("big.bin", activity::kSortSize), "0");
  EXPECT_EQ(Cell("big.bin", activity::kSortCompressedSize), "0");
  EXPECT_EQ(Cell("big.bin", activity::kSortActualSize), "0");
  // Only small.txt takes space now.
  EXPECT_EQ(work->totalSize, 5u);
  const QString caption = List().windowTitle();
  EXPECT_NE(caption.toStdString(), captionBefore.toStdString());
  EXPECT_TRUE(caption.endsWith(QStringLiteral(" of %1 K").arg(common::KRounded(work->totalActualSize))))
      << caption.toStdString();
}

}  // namespace
