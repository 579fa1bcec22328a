// The Files list over records built in the test: fill order, status panes, open
// semantics, column "H" rewritten in place.

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "files/hints.h"
#include "files/list_format.h"
#include "platform/dos_time.h"
#include "scan/scan_controller.h"
#include "ui/document/drives_document.h"
#include "scan/folder_info.h"
#include "scan/record_path.h"
#include "activity/app_state.h"
#include "support/folder_entries.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/pane_frame.h"
#include "ui/prompter/status_panes.h"
#include "ui/list/files_model.h"
#include "ui/list/state_images.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace {

using ui::CFilesList;

std::uint32_t Add(scan::CFolderInfo& folder, std::string_view name, std::uint64_t size,
                  std::uint32_t reads = 0, std::uint8_t kind = scan::kKindFile) {
  files_test::Counters counters;
  counters.readOnly = reads;
  if (reads != 0) counters.lastAccess = 0x22000000;
  return files_test::AddFile(folder, name, size, counters, kind);
}

class FilesListTest : public testing_support::FrameTest {
 protected:
  FilesListTest() { OpenFrame(/*runStartUp=*/false); }
  QString Cell(int row, int column) {
    return List().Model().data(List().Model().index(row, column), Qt::DisplayRole).toString();
  }
  QString Selection() { return frame->Status().Selection(); }
  void Show(scan::CFolderInfo& folder) {
    folder.Recalculate(512);
    List().Fill(&folder);
  }

};

TEST_F(FilesListTest, FillsBusiestFirstWithFoldersOnTop) {
  scan::CFolderInfo folder;
  Add(folder, "quiet.txt", 10, 1);
  Add(folder, "busy.txt", 10, 50);
  Add(folder, "Sub", 0, 0, scan::kKindFolder);
  EXPECT_EQ(List().columnWidth(activity::kSortSize), 85);  // until rows show to fit to
  Show(folder);
  EXPECT_TRUE(List().Ready());
  ASSERT_EQ(List().Model().rowCount(), 3);
  EXPECT_EQ(Cell(0, activity::kSortName), "Sub");
  EXPECT_EQ(Cell(1, activity::kSortName), "busy.txt");
  EXPECT_EQ(Cell(2, activity::kSortName), "quiet.txt");
  EXPECT_EQ(List().Model().columnCount(), 14);
  EXPECT_EQ(List().Model().headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), "Compressed Size");
  EXPECT_EQ(Selection(), "S:0, 0 K");
  EXPECT_EQ(frame->Status().Actions(), "A:0");
}

TEST_F(FilesListTest, TheShownFolderAndTheFocusedRowShowTheirHostPaths) {
  scan::CFolderInfo driveList;
  scan::CFolderInfo& work = scan::RecordForPath(driveList, "D:\\Work\\");
  Add(work, "a.txt", 10);
  Add(work, "Sub", 0, 0, scan::kKindFolder);
  Show(work);
  const std::string host = drives.Root('D') + "/Work";
  EXPECT_EQ(frame->ListPaneFrame().CaptionToolTip(), QString::fromStdString("D:\\Work\\ = " + host));
  List().setCurrentIndex(List().Model().index(1, 0));  // folders come first
  const QString focused = QString::fromStdString("D:\\Work\\a.txt = " + host + "/a.txt");
  EXPECT_TRUE(RunUntil([&] { return frame->Status().Message() == focused; })) << frame->Status().Message().toStdString();
}

TEST_F(FilesListTest, HomeAndEndGoToTheFirstAndLastRowAndLetterHeadersExplainThemselves) {
  scan::CFolderInfo folder;
  for (const char* name : {"a", "b", "c"}) Add(folder, name, 10);
  Show(folder);
  List().setCurrentIndex(List().Model().index(1, 0));
  QTest::keyClick(&List(), Qt::Key_End);
  EXPECT_EQ(List().currentIndex().row(), 2);
  QTest::keyClick(&List(), Qt::Key_Home);
  EXPECT_EQ(List().currentIndex().row(), 0);
  for (const int column : {activity::kSortAction, activity::kSortState, activity::kSortHint,
                           activity::kSortLastOperation}) {
    EXPECT_FALSE(List().Model().headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString().isEmpty());
  }
}

// A header click sorts by its column in the column's own order and shows it; a second
// click on it reverses the order and the arrow.
TEST_F(FilesListTest, HeaderClickSortsAndASecondClickReverses) {
  scan::CFolderInfo folder;
  Add(folder, "b", 300);
  Add(folder, "a", 100);
  Show(folder);
  QHeaderView& header = *List().horizontalHeader();
  const auto click = [&header](int column) { emit header.sectionClicked(column); };
  click(activity::kSortSize);
  EXPECT_EQ(state.FilesSortKey, activity::kSortSize);
  EXPECT_EQ(Cell(0, activity::kSortName), "b");
  EXPECT_TRUE(header.isSortIndicatorShown());
  EXPECT_EQ(header.sortIndicatorSection(), activity::kSortSize);
  EXPECT_EQ(header.sortIndicatorOrder(), Qt::DescendingOrder);
  click(activity::kSortSize);
  EXPECT_EQ(Cell(0, activity::kSortName), "a");
  EXPECT_EQ(header.sortIndicatorOrder(), Qt::AscendingOrder);
  List().Refill();  // a refill keeps the user's order
  EXPECT_EQ(Cell(0, activity::kSortName), "a");
  click(activity::kSortName);
  EXPECT_EQ(Cell(0, activity::kSortName), "a");
  EXPECT_EQ(header.sortIndicatorSection(), activity::kSortName);
  EXPECT_EQ(header.sortIndicatorOrder(), Qt::AscendingOrder);
  click(activity::kSortName);
  EXPECT_EQ(Cell(0, activity::kSortName), "b");
}

// Columns fit what they first show; the user's widths come back in the next run.
TEST_F(FilesListTest, ColumnsFitTheirRowsAndKeepTheUsersWidthsAcrossRuns) {
  scan::CFolderInfo folder;
  const std::string longName(80, 'n');
  Add(folder, longName, 10);
  Show(folder);
  const int fitted = List().columnWidth(activity::kSortName);
  EXPECT_GT(fitted, List().fontMetrics().horizontalAdvance(QString::fromStdString(longName)));
  List().setColumnWidth(activity::kSortSize, 123);
  frame.reset();
  OpenFrame(/*runStartUp=*/false);
  EXPECT_EQ(List().columnWidth(activity::kSortSize), 123);
  EXPECT_EQ(List().columnWidth(activity::kSortName), fitted);
  Show(folder);  // the user's widths are not fitted over
  EXPECT_EQ(List().columnWidth(activity::kSortSize), 123);
}

TEST_F(FilesListTest, SelectionPaneRoundsKilobytesHalfUp) {
  scan::CFolderInfo three;
  Add(three, "a", 100);
  Add(three, "b", 200);
  Add(three, "c", 300);
  Show(three);
  commands.SetActiveView(ui::Target::List);
  commands.Execute(ui::cmd::kSelectAll);
  EXPECT_EQ(Selection(), "S:3, 1 K");
  EXPECT_EQ(List().SelectedEntries().size(), 3u);

  scan::CFolderInfo below;
  Add(below, "a", 511);
  Show(below);
  List().SelectAll();
  EXPECT_EQ(Selection(), "S:1, 0 K");

  scan::CFolderInfo half;
  Add(half, "a", 512);
  Show(half);
  List().SelectAll();
  EXPECT_EQ(Selection(), "S:1, 1 K");

  // A running scan leaves the panes as they are.
  state.ScanInProgress = true;
  List().clearSelection();
  EXPECT_EQ(Selection(), "S:1, 1 K");
}

TEST_F(FilesListTest, OpenOnlyFoldersAndScanFirstWhenNeverRead) {
  scan::CFolderInfo folder;
  Add(folder, "file", 10, 5);
  Add(folder, "Sub", 0, 0, scan::kKindFolder);
  Show(folder);
  QSignalSpy opened(&List(), &CFilesList::openSubfolderRequested);

  List().setCurrentIndex(List().Model().index(1, 0));  // the file
  List().OpenFocused();
  EXPECT_EQ(opened.count(), 0);

  List().setCurrentIndex(List().Model().index(0, 0));  // the folder
  folder.subfoldersPending = 0;
  List().OpenFocused();
  ASSERT_EQ(opened.count(), 1);
  EXPECT_EQ(opened.at(0).at(0).toString(), "Sub");
  EXPECT_FALSE(opened.at(0).at(1).toBool());  // no scan first

  folder.subfoldersPending = 1;
  List().OpenFocused();
  EXPECT_EQ(opened.count(), 2);
  EXPECT_TRUE(opened.at(1).at(1).toBool());

  state.ScanInProgress = true;
  List().OpenFocused();
  EXPECT_EQ(opened.count(), 2);
}

TEST_F(FilesListTest, CodeCellsAreRewrittenWithoutResorting) {
  scan::CFolderInfo folder;
  Add(folder, "a", 10, 1);
  Add(folder, "b", 10, 9);
  Show(folder);
  state.FilesSortKey = activity::kSortHint;  // hints change below; the order must not
  folder.hints()[0] = 4;
  folder.actions()[1] = 1;
  List().RefreshCodeCells();
  EXPECT_EQ(Cell(0, activity::kSortName), "b");
  EXPECT_EQ(Cell(0, activity::kSortAction), "C");
  EXPECT_EQ(Cell(1, activity::kSortHint), "B");
}

// The hints of a big drive take seconds: F6 hands them out in slices between events.
// Until the last slice no scan may replace the records, and a command run meanwhile
// finds every hint written.
TEST_F(FilesListTest, HintsRefreshBetweenEventsAndACommandRunMeanwhileSeesThemAll) {
  OpenFrame(/*runStartUp=*/true);  // its loading of the drive table must not come later
  WaitForScan();
  constexpr std::int64_t kNow = 1'750'000'000;
  state.StartupStamp = platform::DosDateTimeFromUtc(kNow);
  const std::uint32_t spanStart = platform::DosDateTimeFromLocal(kNow - 20 * 86400);
  if (!state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), spanStart)) {
    state.driveTable.NewState()[static_cast<std::size_t>(state.driveTable.Find(activity::DriveNumber('D')))].spanStart =
        spanStart;
  }
  state.driveTable.AcceptNewState();
  scan::CFolderInfo driveList;
  scan::CFolderInfo& root = scan::RecordForPath(driveList, "D:\\");
  files_test::Counters written;
  written.writeOnly = 5;
  const std::uint32_t busy = files_test::AddFile(root, "busy.doc", 10, written);
  root.states()[busy] = scan::kStateCompressed;
  List().SetDriveList(&driveList);
  const scan::ScanController& scanner = frame->Document().Scanner();

  List().RefreshHints();
  EXPECT_TRUE(List().RefreshingHints());
  EXPECT_TRUE(scanner.RecordsHeld());
  std::uint8_t seen = 0xEE;
  constexpr int kProbe = 59999;
  commands.Register(kProbe, ui::Target::Frame, [&] { seen = root.hints()[busy]; });
  commands.Execute(kProbe);
  EXPECT_EQ(seen, files::kHintDecompress);
  EXPECT_FALSE(List().RefreshingHints());
  EXPECT_FALSE(scanner.RecordsHeld());

  root.hints()[busy] = 0;
  List().RefreshHints();
  EXPECT_TRUE(RunUntil([this] { return !List().RefreshingHints(); }));
  EXPECT_EQ(root.hints()[busy], files::kHintDecompress);
  EXPECT_FALSE(scanner.RecordsHeld());
  commands.Unregister(kProbe, ui::Target::Frame);
}

// Right-clicks the row as a user does (press, then the pop-up) and answers the texts of
// the pop-up's items, closing it again.
QStringList RightClick(CFilesList& list, int row) {
  QWidget* viewport = list.viewport();
  const QPoint at = list.visualRect(list.model()->index(row, activity::kSortName)).center();
  QStringList texts;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&texts] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (const QAction* item : menu->actions()) texts << item->text();
    menu->close();
  });
  poll.start();
  QTest::mousePress(viewport, Qt::RightButton, Qt::NoModifier, at);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
  QCoreApplication::sendEvent(viewport, &event);
  QTest::mouseRelease(viewport, Qt::RightButton, Qt::NoModifier, at);
  return texts;
}

TEST_F(FilesListTest, RightClickKeepsASelectionItHitsAndSelectsARowOutsideIt) {
  scan::CFolderInfo folder;
  for (const char* name : {"a", "b", "c", "d", "e", "f"}) Add(folder, name, 1024);
  // Up and running first: the tree then lists its first drive as it takes the focus.
  for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  state.FilesSortKey = activity::kSortName;
  Show(folder);
  QItemSelectionModel& selection = *List().selectionModel();
  for (int row = 1; row <= 3; ++row) {
    selection.select(List().model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  ASSERT_EQ(Selection(), "S:3, 3 K");

  const QStringList texts = RightClick(List(), 2);
  EXPECT_EQ(List().SelectedEntries().size(), 3u);
  EXPECT_EQ(Selection(), "S:3, 3 K");
  EXPECT_EQ(List().currentIndex().row(), 2);
  // The pop-up's own titles, not the menu bar's with their keys.
  EXPECT_EQ(texts.value(0), "&Properties ...");
  EXPECT_TRUE(texts.contains("Select &actions ...")) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.contains("&Sort Files list by")) << texts.join('|').toStdString();

  RightClick(List(), 5);
  ASSERT_EQ(List().SelectedEntries().size(), 1u);
  EXPECT_EQ(List().Model().Row(5).Name(), "f");
  EXPECT_EQ(List().SelectedEntries().front(), List().Model().Row(5).index);
  EXPECT_EQ(Selection(), "S:1, 1 K");
}

TEST(ListStateImages, FourteenImagesOf16By16) {
  ASSERT_EQ(ui::ListStateImages().size(), 14u);
  for (const QPixmap& image : ui::ListStateImages()) EXPECT_EQ(image.size(), QSize(16, 16));
  EXPECT_NE(ui::ActivityImage(0).toImage(), ui::ActivityImage(12).toImage());
}

}  // namespace
