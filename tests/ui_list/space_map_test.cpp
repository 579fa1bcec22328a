// The space map pane beside the Files list: it follows the folder the list shows, and a
// click or double click on the map selects or opens the entry in the list.

#include <QDockWidget>
#include <QImage>
#include <cmath>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "support/folder_entries.h"
#include "ui/commands/command_ids.h"
#include "ui/frame/main_frame.h"
#include "ui/map/space_map_view.h"
#include "ui/views/files_list.h"

#include "support_ui/frame_test.h"

namespace {

constexpr int kDrawnWait = 10000;  // ms: a generous bound, the worker normally takes one

class SpaceMapTest : public testing_support::FrameTest {
 protected:
  SpaceMapTest() {
    OpenFrame(/*runStartUp=*/false);
    frame->resize(1000, 700);
    frame->show();
    commands.Execute(ui::cmd::kSpaceMap);
  }
  ui::SpaceMapView& Map() { return frame->SpaceMap(); }
  // Fills the list with `folder` and waits for the map of it.
  void ShowAndWait(scan::CFolderInfo& folder) {
    QSignalSpy drawn(&Map(), &ui::SpaceMapView::drawn);
    frame->List().Fill(&folder);
    ASSERT_TRUE(drawn.wait(kDrawnWait));
  }
  // The centre of the cell of the shown folder's entry `name`.
  QPoint CentreOf(std::string_view name) {
    const analysis::MapSnapshot& snapshot = *Map().Snapshot();
    for (const analysis::MapCell& cell : Map().Layout().cells) {
      if (snapshot.items[cell.item].parent == 0 && cell.item != 0 && snapshot.Name(snapshot.items[cell.item]) == name) {
        return QPoint(static_cast<int>(cell.rect.x + cell.rect.w / 2), static_cast<int>(cell.rect.y + cell.rect.h / 2));
      }
    }
    ADD_FAILURE() << std::string(name) << " has no cell";
    return {};
  }

};

TEST_F(SpaceMapTest, FollowsTheListAndSelectsOrOpensWhatIsClicked) {
  scan::CFolderInfo folder;
  files_test::AddFile(folder, "small.txt", 3000);
  const std::uint32_t big = files_test::AddFile(folder, "big.bin", 90000);
  const std::uint32_t sub = files_test::AddFile(folder, "Sub", 0, {}, scan::kKindFolder);
  files_test::AddFile(*folder.GetChild(sub), "inner.dat", 60000);
  folder.Recalculate(512);
  folder.subfoldersPending = 0;  // opening needs no scan first
  ASSERT_TRUE(frame->SpaceMapDock().isVisible());
  ShowAndWait(folder);
  ASSERT_EQ(Map().Snapshot()->items.size(), 5u);

  // Map to list: a click selects the entry; a click inside a subfolder's file selects
  // the subfolder; a double click on it opens it.
  QWidget* canvas = Map().findChild<QWidget*>(QStringLiteral("SpaceMapCanvas"));
  ASSERT_NE(canvas, nullptr);
  QTest::mouseClick(canvas, Qt::LeftButton, {}, CentreOf("big.bin"));
  EXPECT_EQ(frame->List().SelectedEntries(), std::vector<std::uint32_t>{big});
  QTest::mouseClick(canvas, Qt::LeftButton, {}, CentreOf("Sub"));
  EXPECT_EQ(frame->List().SelectedEntries(), std::vector<std::uint32_t>{sub});
  QSignalSpy opened(&frame->List(), &ui::CFilesList::openSubfolderRequested);
  QTest::mouseDClick(canvas, Qt::LeftButton, {}, CentreOf("Sub"));
  ASSERT_EQ(opened.count(), 1);
  EXPECT_EQ(opened.at(0).at(0).toString(), QStringLiteral("Sub"));

  // List to map: the list shows the subfolder, the map follows.
  ShowAndWait(*folder.GetChild(sub));
  ASSERT_EQ(Map().Snapshot()->items.size(), 2u);
  EXPECT_EQ(Map().Snapshot()->Name(Map().Snapshot()->items[1]), "inner.dat");
  // And a hidden map stops following until it is shown again.
  commands.Execute(ui::cmd::kSpaceMap);
  EXPECT_FALSE(frame->SpaceMapDock().isVisible());
}

// The map opens wide enough for its legend, parts its cells with a hairline, outlines
// what was clicked and speaks under itself of what it is coloured by.
TEST_F(SpaceMapTest, OpensWideOutlinesTheClickedCellAndItsLineFollowsTheColouring) {
  QCoreApplication::processEvents();
  EXPECT_GE(frame->SpaceMapDock().width(), frame->width() / 3 - 10);
  scan::CFolderInfo folder;
  files_test::AddFile(folder, "a.bin", 50000);
  files_test::AddFile(folder, "b.bin", 40000);
  folder.Recalculate(512);
  ShowAndWait(folder);
  const QPoint centre = CentreOf("a.bin");
  const analysis::MapCell* cell = nullptr;
  for (const analysis::MapCell& c : Map().Layout().cells) {
    if (Map().Snapshot()->Name(Map().Snapshot()->items[c.item]) == "a.bin") cell = &c;
  }
  ASSERT_NE(cell, nullptr);
  const QPoint corner(static_cast<int>(std::ceil(cell->rect.x)), static_cast<int>(std::ceil(cell->rect.y)));
  EXPECT_NE(Map().Image().pixel(corner), Map().Image().pixel(centre)) << "no edge between cells";

  QWidget* canvas = Map().findChild<QWidget*>(QStringLiteral("SpaceMapCanvas"));
  ASSERT_NE(canvas, nullptr);
  EXPECT_FALSE(Map().Outlined());
  QTest::mouseClick(canvas, Qt::LeftButton, {}, centre);
  ASSERT_TRUE(Map().Outlined());
  EXPECT_EQ(Map().Snapshot()->Name(Map().Snapshot()->items[*Map().Outlined()]), "a.bin");
  const QImage shown = canvas->grab().toImage();
  const QPoint inside = corner + QPoint(1, 1);
  EXPECT_NE(shown.pixel(inside), Map().Image().pixel(inside)) << "the clicked cell is not outlined";

  EXPECT_EQ(Map().StatusText().left(3), "B: ");
  Map().SetColouring(analysis::MapColouring::Age);
  EXPECT_TRUE(Map().StatusText().startsWith("age: ")) << Map().StatusText().toStdString();
  Map().SetColouring(analysis::MapColouring::Count);
  EXPECT_TRUE(Map().StatusText().startsWith("count: ")) << Map().StatusText().toStdString();
}

}  // namespace
