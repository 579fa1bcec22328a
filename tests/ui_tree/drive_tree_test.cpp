// The folders tree over a temporary drive map: drive items and icons, the visiting
// images, scans started by expanding and by F5, stopping, and the refusal to expand
// while a scan runs.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <vector>

#include "platform/dos_time.h"
#include "scan/record_search.h"
#include "activity/app_state.h"
#include "shell/options.h"
#include "support/faulty_system.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/prompter/status_panes.h"
#include "ui/views/drive_tree.h"
#include "ui/views/folder_tree_model.h"
#include "ui/views/files_list.h"
#include "ui/document/throttled_status_sink.h"
#include "ui/views/tree_images.h"

#include "support_ui/frame_test.h"

namespace {

namespace image = ui::tree_image;
using ui::CDriveTree;

class DriveTreeTest : public testing_support::FrameTest {
 protected:
  DriveTreeTest() {
    // D:\Work\Reports\2025\r.doc, D:\Work\a.txt, D:\Games\Chess\, D:\.cache\x
    drives.WriteFile("D:\\Work\\a.txt", "12345");
    drives.WriteFile("D:\\Work\\Reports\\2025\\r.doc", "report");
    drives.MakeDirectory("D:\\Games\\Chess");
    drives.WriteFile("D:\\.cache\\x", "x");
  }
  void SetUp() override { Start(false); }
  // The frame and its start-up steps, with the AutoScan option as given.
  void Start(bool autoScan) {
    frame.reset();
    shell::WriteOnOff(options, shell::kAutoScanOption, autoScan);
    OpenFrame();
  }

  QModelIndex Child(const QModelIndex& item, const char* name) {
    return Tree().FindChildItem(item, QString::fromLatin1(name));
  }
  // F5 on the drive in the tree, waited for to its end.
  void RescanDrive(char letter) {
    Tree().setCurrentIndex(Drive(letter));
    commands.SetActiveView(ui::Target::Tree);
    ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
    WaitForScan();
  }
  static std::pair<int, int> Images(const QModelIndex& item) {
    return {item.data(ui::tree_role::kNormalImage).toInt(), item.data(ui::tree_role::kSelectedImage).toInt()};
  }
  static int StateImage(const QModelIndex& item) { return item.data(ui::tree_role::kStateImage).toInt(); }

};

TEST_F(DriveTreeTest, DrivesAreListedWithTypeImageAndAnUnreadPlaceholder) {
  ASSERT_EQ(Tree().model()->rowCount(), 3);
  const QModelIndex d = Drive('D');
  ASSERT_TRUE(d.isValid());
  EXPECT_TRUE(d.data().toString().startsWith(QStringLiteral("D:")));
  EXPECT_EQ(StateImage(d), image::kFirstDriveType + 1);  // a fixed drive
  ASSERT_EQ(Tree().model()->rowCount(d), 1);
  const QModelIndex dummy = Tree().model()->index(0, 0, d);
  EXPECT_EQ(dummy.data().toString(), QStringLiteral("Dummy"));
  EXPECT_EQ(Tree().RecordOf(dummy), nullptr);
  EXPECT_EQ(Tree().PathOfItem(d), QStringLiteral("D:\\"));
  EXPECT_EQ(Tree().RecordOf(d), frame->Document().DriveList().GetChild(1));
  EXPECT_EQ(Tree().windowTitle(), QStringLiteral("Folders Tree"));
}

TEST_F(DriveTreeTest, DriveIconsShowTheDatabaseFillAndTheEndOfItsSpan) {
  auto& records = state.driveTable.NewState();
  records.clear();
  state.driveTable.AcceptNewState();  // the first run's records are saved at once: none old
  activity::DriveRecord half;
  half.drive = 4;  // D
  half.recordsInUse = static_cast<std::uint32_t>(half.Capacity() / 2);
  records.push_back(half);
  activity::DriveRecord ended = half;
  ended.drive = 5;  // E
  ended.spanEnd = platform::DosDateTimeFromLocal(faulty.Now()) - 1;
  records.push_back(ended);
  Tree().UpdateDriveIcons();
  EXPECT_EQ(Images(Drive('C')), std::make_pair(image::kFullyRead, image::kNoDatabaseSelected));
  EXPECT_EQ(Images(Drive('D')), std::make_pair(49, 49));
  EXPECT_EQ(Images(Drive('E')), std::make_pair(63, 63));

  // The old state has no records: the icons follow the chosen state.
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kShowOldDatabaseState));
  EXPECT_EQ(Images(Drive('D')), std::make_pair(image::kFullyRead, image::kNoDatabaseSelected));
}

TEST_F(DriveTreeTest, ExpandingReadsTwoLevelsAndExpandsWhenDone) {
  const QModelIndex d = Drive('D');
  Tree().expand(d);
  EXPECT_FALSE(Tree().isExpanded(d));  // the scan expands it when it ends
  WaitForScan();
  EXPECT_TRUE(Tree().isExpanded(d));
  const QModelIndex work = Child(d, "Work");
  ASSERT_TRUE(work.isValid());
  EXPECT_TRUE(Child(d, ".cache").isValid());  // a folder like any other
  EXPECT_FALSE(Child(d, "Dummy").isValid());
  EXPECT_EQ(Tree().model()->rowCount(d), 3);  // .cache, Games, Work in name order
  EXPECT_EQ(Tree().model()->index(1, 0, d).data().toString(), QStringLiteral("Games"));
  EXPECT_EQ(Images(work), std::make_pair(image::kNotRead, image::kPartlyReadSelected));
  EXPECT_EQ(StateImage(work), image::kFolderInserted);
  const QModelIndex reports = Child(work, "Reports");
  ASSERT_TRUE(reports.isValid());
  EXPECT_EQ(Images(reports), std::make_pair(image::kNotRead, image::kNotRead));
  EXPECT_EQ(Tree().model()->rowCount(reports), 0);
  EXPECT_FALSE(frame->Document().Scanner().ShallowScanRunning());

  // Expanding Work (its subfolders unread) reads it two levels deep.
  Tree().expand(work);
  WaitForScan();
  const QModelIndex work2 = Child(Drive('D'), "Work");
  EXPECT_TRUE(Tree().isExpanded(work2));
  ASSERT_TRUE(Child(Child(work2, "Reports"), "2025").isValid());
}

TEST_F(DriveTreeTest, AFolderThatCannotBeReadIsMarkedInTheTreeAndTheStatusBar) {
  faulty.Fail(testing_support::Operation::List, {testing_support::PathStartsWith("D:\\Games\\")});
  Tree().expand(Drive('D'));
  WaitForScan();
  const QModelIndex games = Child(Drive('D'), "Games");
  const QModelIndex work = Child(Drive('D'), "Work");
  ASSERT_TRUE(games.isValid() && work.isValid());
  // The same state and scan images, but the unreadable folder carries an overlay.
  ASSERT_EQ(Images(games), Images(work));
  ASSERT_EQ(StateImage(games), StateImage(work));
  EXPECT_TRUE(games.data(ui::tree_role::kUnreadable).toBool());
  EXPECT_FALSE(work.data(ui::tree_role::kUnreadable).toBool());
  EXPECT_NE(games.data(Qt::DecorationRole).value<QPixmap>().toImage(),
            work.data(Qt::DecorationRole).value<QPixmap>().toImage());

  Tree().setCurrentIndex(games);
  EXPECT_EQ(frame->Status().Message(), QStringLiteral("Cannot read the folder D:\\Games\\"));
  Tree().setCurrentIndex(work);
  EXPECT_NE(frame->Status().Message(), QStringLiteral("Cannot read the folder D:\\Games\\"));
}

TEST_F(DriveTreeTest, RescanReadsEverythingAndLeavesNothingOfTheFirstScan) {
  const QModelIndex d = Drive('D');
  Tree().setCurrentIndex(d);
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  // Until the scanned records are handed over, nothing in the tree reaches the old ones.
  EXPECT_EQ(Tree().model()->rowCount(Drive('D')), 0);
  WaitForScan();
  const QModelIndex year = Child(Child(Child(Drive('D'), "Work"), "Reports"), "2025");
  ASSERT_TRUE(year.isValid());
  EXPECT_EQ(Images(year), std::make_pair(image::kFullyRead, image::kFullyRead));
  EXPECT_TRUE(state.DriveScanned[activity::DriveIndex('D')].load());
  EXPECT_EQ(Tree().RecordOf(Drive('D'))->totalFiles, 3u);
  EXPECT_TRUE(frame->List().windowTitle().startsWith(QStringLiteral("Files List    D:\\ 3 file(s), ")));

  // A second F5 while the first still runs comes back once it has ended.
  drives.WriteFile("D:\\Games\\Chess\\new.pgn", "1. e4");
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  WaitForScan();
  WaitForScan();
  EXPECT_EQ(Tree().RecordOf(Drive('D'))->totalFiles, 4u);
  EXPECT_EQ(Tree().model()->rowCount(Drive('D')), 3);
  const QModelIndex work = Child(Drive('D'), "Work");
  Tree().model()->fetchMore(work);
  EXPECT_EQ(Tree().model()->rowCount(work), 1);
}

TEST_F(DriveTreeTest, ItemsBelowAFolderAreMadeWhenItIsOpenedOrOneOfItsFoldersIsWanted) {
  RescanDrive('D');
  const QModelIndex work = Child(Drive('D'), "Work");
  ASSERT_TRUE(work.isValid());
  EXPECT_EQ(Tree().model()->rowCount(work), 0);
  EXPECT_TRUE(Tree().model()->hasChildren(work));

  // The list or a scan may name a folder whose item was never made.
  scan::CFolderInfo* year = scan::FindRecord(frame->Document().DriveList(), "D:\\Work\\Reports\\2025\\");
  ASSERT_NE(year, nullptr);
  const QModelIndex item = Tree().ItemOf(year);
  ASSERT_TRUE(item.isValid());
  EXPECT_EQ(Tree().PathOfItem(item), QStringLiteral("D:\\Work\\Reports\\2025\\"));
  EXPECT_EQ(Tree().RecordOf(item), year);

  Tree().expand(work);
  EXPECT_EQ(Tree().model()->rowCount(work), 1);
}

TEST_F(DriveTreeTest, SortingByAccessionsPutsTheMostUsedFolderFirst) {
  RescanDrive('D');
  scan::CFolderInfo& root = *Tree().RecordOf(Drive('D'));
  for (std::uint32_t i = 0; i < root.Count(); ++i) {
    if (root.names(i) == "Games") root.SetActivity(i, {.readOnly = 7});
  }
  const auto rows = [this] {
    QStringList names;
    for (int row = 0; row < Tree().model()->rowCount(Drive('D')); ++row) {
      names << Tree().model()->index(row, 0, Drive('D')).data().toString();
    }
    return names.join(QLatin1Char(' '));
  };
  ASSERT_TRUE(commands.Execute(ui::cmd::kSortFoldersByName));
  EXPECT_EQ(rows(), QStringLiteral(".cache Games Work"));
  ASSERT_TRUE(commands.Execute(ui::cmd::kSortFoldersByAccessCounter));
  EXPECT_EQ(rows(), QStringLiteral("Games .cache Work"));
}

TEST_F(DriveTreeTest, ARescanNeverLeavesTheListOnARecordItReplaced) {
  RescanDrive('D');
  // The list shows a folder below the drive, then the drive is read again.
  scan::CFolderInfo* reports = Tree().RecordOf(Child(Child(Drive('D'), "Work"), "Reports"));
  ASSERT_NE(reports, nullptr);
  frame->List().Fill(reports);
  state.RefreshAfterScan = false;  // as when folders are read before actions are set
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  WaitForScan();

  EXPECT_TRUE(scan::TreeHoldsRecord(frame->Document().DriveList(), frame->List().ShownFolder()));
  EXPECT_EQ(frame->List().ShownFolder(), Tree().RecordOf(Tree().CurrentItem()));
}

TEST_F(DriveTreeTest, StoppingKeepsTheDirectSubfoldersAndClearsDriveScanned) {
  const QModelIndex d = Drive('D');
  Tree().setCurrentIndex(d);
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  ASSERT_TRUE(commands.Execute(ui::cmd::kStopScanning));
  EXPECT_FALSE(state.ScanInProgress.load());
  WaitForScan();
  EXPECT_FALSE(state.DriveScanned[activity::DriveIndex('D')].load());
  EXPECT_TRUE(Child(Drive('D'), "Work").isValid());
  EXPECT_TRUE(Child(Child(Drive('D'), "Work"), "Reports").isValid());
}

TEST_F(DriveTreeTest, ExpandingDuringAScanSaysStopScanningFirst) {
  state.ScanInProgress = true;  // as while another scan runs
  const QModelIndex d = Drive('D');
  Tree().expand(d);
  EXPECT_FALSE(Tree().isExpanded(d));
  ASSERT_EQ(prompter.Texts(), std::vector<std::string>{"Stop scanning first!"});
  EXPECT_EQ(prompter.asked.front().icon, common::Icon::Stop);
  EXPECT_FALSE(frame->Document().Scanner().ScanThreadRunning());
  EXPECT_EQ(Tree().model()->index(0, 0, d).data().toString(), QStringLiteral("Dummy"));

  commands.SetActiveView(ui::Target::Tree);
  Tree().setCurrentIndex(d);
  ASSERT_TRUE(commands.Execute(ui::cmd::kClusterSizeAnalysis));
  EXPECT_EQ(prompter.Texts().back(), "Please wait.");
  state.ScanInProgress = false;
}

TEST_F(DriveTreeTest, ExpandAllReadsWhatWasNeverReadInOneScanThenExpandsEverything) {
  Tree().expand(Drive('D'));  // reads D:\ and its folders; Reports and Chess stay unread
  WaitForScan();
  // An action chosen on an entry read before must survive the reading.
  scan::CFolderInfo* work = Tree().RecordOf(Child(Drive('D'), "Work"));
  ASSERT_NE(work, nullptr);
  const std::uint32_t a = work->names(0) == "a.txt" ? 0 : 1;
  ASSERT_EQ(work->names(a), "a.txt");
  work->actions()[a] = 4;
  state.PendingActionCount = 1;
  int scans = 0;
  QObject::connect(&frame->Document(), &ui::DrivesDocument::subtreePlaced, [&scans] { ++scans; });

  Tree().setCurrentIndex(Drive('D'));
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kExpandAll));
  WaitForScan();
  EXPECT_TRUE(prompter.asked.empty()) << prompter.Texts().front();
  EXPECT_EQ(scans, 2);  // Reports and Chess, each handed over once
  const QModelIndex year = Child(Child(Child(Drive('D'), "Work"), "Reports"), "2025");
  ASSERT_TRUE(year.isValid());
  for (const QModelIndex& item : {Drive('D'), Child(Drive('D'), "Work"), Child(Drive('D'), "Games"),
                                  Child(Child(Drive('D'), "Work"), "Reports")}) {
    EXPECT_TRUE(Tree().isExpanded(item)) << item.data().toString().toStdString();
  }
  EXPECT_TRUE(Child(Child(Drive('D'), "Games"), "Chess").isValid());
  EXPECT_EQ(Tree().RecordOf(Child(Drive('D'), "Work")), work);
  EXPECT_EQ(work->actions()[a], 4);
  EXPECT_EQ(state.PendingActionCount.load(), 1u);

  // A drive never read is read whole, then expanded.
  Tree().setCurrentIndex(Drive('E'));
  drives.WriteFile("E:\\Old\\Older\\x.txt", "x");
  ASSERT_TRUE(commands.Execute(ui::cmd::kExpandAll));
  WaitForScan();
  EXPECT_TRUE(Tree().isExpanded(Child(Drive('E'), "Old")));
  EXPECT_TRUE(state.DriveScanned[activity::DriveIndex('E')].load());
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(DriveTreeTest, VisitingImagesAndTheUnreadDriveCaption) {
  const QModelIndex d = Drive('D');
  Tree().setCurrentIndex(d);
  // A drive never read has no figures to give: no "0 file(s), 100% of 0 K".
  EXPECT_EQ(frame->List().windowTitle(), QStringLiteral("Files List    D:\\ (not read yet)"));
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  WaitForScan();
  const QModelIndex games = Child(Drive('D'), "Games");
  const QModelIndex work = Child(Drive('D'), "Work");
  Tree().setCurrentIndex(games);
  EXPECT_EQ(StateImage(games), image::kFolderSelected);
  Tree().setCurrentIndex(work);
  EXPECT_EQ(StateImage(games), image::kFolderLeft);
  EXPECT_EQ(StateImage(work), image::kFolderSelected);
  Tree().setCurrentIndex(games);
  EXPECT_EQ(StateImage(games), image::kFolderSelectedAgain);
  EXPECT_EQ(StateImage(work), image::kFolderLeft);
  EXPECT_EQ(StateImage(Drive('D')), image::kFirstDriveType + 1);  // drives keep theirs

  // Up one level reaches the drive, and does nothing there.
  ASSERT_TRUE(commands.Execute(ui::cmd::kUpOneLevel));
  EXPECT_EQ(Tree().currentIndex(), Drive('D'));
  ASSERT_TRUE(commands.Execute(ui::cmd::kUpOneLevel));
  EXPECT_EQ(Tree().currentIndex(), Drive('D'));
}

TEST_F(DriveTreeTest, PropertiesTitleNamesTheDriveWithItsLabel) {
  QString title;
  // The sheet is modal: read its title and close it once it is up, however long that takes.
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&title, &poll] {
    if (QWidget* sheet = QApplication::activeModalWidget()) {
      title = sheet->windowTitle();
      sheet->close();
      poll.stop();
    }
  });
  poll.start();
  Tree().setCurrentIndex(Drive('D'));
  commands.SetActiveView(ui::Target::Tree);
  ASSERT_TRUE(commands.Execute(ui::cmd::kTreeProperties));
  EXPECT_EQ(title, QStringLiteral("Drive properties: ") + Drive('D').data().toString());
}

TEST_F(DriveTreeTest, AutoScanReadsEveryFixedDriveInFullAtStartUp) {
  Start(true);
  WaitForScan();
  QElapsedTimer timer;
  timer.start();
  while (frame->Document().Scanner().AutoScanActive() && timer.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    WaitForScan();
  }
  ASSERT_FALSE(frame->Document().Scanner().AutoScanActive());
  for (char letter : {'C', 'D', 'E'}) EXPECT_TRUE(state.DriveScanned[activity::DriveIndex(letter)].load()) << letter;
  EXPECT_TRUE(Child(Child(Child(Drive('D'), "Work"), "Reports"), "2025").isValid());
  EXPECT_EQ(Tree().currentIndex(), Drive('E'));  // each drive is made current as it is read
}

TEST(TreeImages, EveryImageIsSixteenSquareAndTheFillBarsDiffer) {
  const ui::TreeImages images;
  ASSERT_EQ(images.StateCount(), image::kStateCount);
  ASSERT_EQ(images.NormalCount(), image::kNormalCount);
  for (int i = 0; i < images.StateCount(); ++i) EXPECT_EQ(images.State(i).size(), QSize(16, 16));
  for (int i = 0; i < images.NormalCount(); ++i) EXPECT_EQ(images.Normal(i).size(), QSize(16, 16));
  const auto same = [](const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); };
  for (int i = 1; i < image::kFillBarCount; ++i) {
    EXPECT_FALSE(same(images.Normal(image::kFirstFillBar + i - 1), images.Normal(image::kFirstFillBar + i)));
    EXPECT_FALSE(same(images.Normal(image::kFirstFillBar + i), images.Normal(image::kFirstSpanEndedFillBar + i)));
  }
  EXPECT_FALSE(same(images.State(image::kFolderInserted), images.State(image::kFolderLeft)));
  EXPECT_FALSE(same(images.State(image::kFolderSelected), images.State(image::kFolderSelectedAgain)));
}

class RecordingSink : public common::StatusSink {
 public:
  void ShowStatus(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

TEST(ThrottledStatusSink, LookingInTextsPassAtMostOncePerIntervalOthersAlways) {
  RecordingSink inner;
  // The clock starts at its epoch, as a steady clock does on a machine just booted: the
  // first text must pass all the same.
  ui::ThrottledStatusSink::Clock::time_point now{};
  ui::ThrottledStatusSink sink(inner, std::chrono::seconds(1), [&now] { return now; });
  sink.ShowStatus("Looking in: C:\\a\\");
  now += std::chrono::milliseconds(999);
  sink.ShowStatus("Looking in: C:\\b\\");
  sink.ShowStatus("Recalculating drive information ...");
  sink.ShowIdle();
  now += std::chrono::milliseconds(1);
  sink.ShowStatus("Looking in: C:\\c\\");
  EXPECT_EQ(inner.texts, (std::vector<std::string>{"Looking in: C:\\a\\", "Recalculating drive information ...",
                                                    "Ready, for Help press F1", "Looking in: C:\\c\\"}));
}

}  // namespace
