// The main frame over a temporary drive map: creation, the start-up sequence up to the
// maximised window, command states, prompts, keys, help and the options it keeps.

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QToolBar>
#include <QWhatsThis>
#include <gtest/gtest.h>

#include <functional>

#include "ui_shell/qt_print.h"

#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/faulty_system.h"
#include "support/temp_drives.h"
#include "ui/app/settings_option_store.h"
#include "ui/frame/splash_window.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/pane_frame.h"
#include "ui/prompter/status_panes.h"
#include "ui/help/help_window.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace {

using namespace std::chrono_literals;
using ui::CMainFrame;
using ui::Target;

// Runs the event loop until `done` holds when the program goes idle, as between a user's
// actions (the moment the toolbar follows its commands). False when it never does; the
// bound only ends a test that would hang.
bool IdleUntil(const std::function<bool()>& done) {
  QEventLoop loop;
  bool met = false;
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                   &loop, [&] {
                     if (!done()) return;
                     met = true;
                     loop.quit();
                   });
  QTimer::singleShot(60s, &loop, &QEventLoop::quit);
  loop.exec();
  return met;
}

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() : faulty(drives.System()), options(config.path()) {}
  ~MainFrameTest() override {
    frame.reset();
    QCoreApplication::sendPostedEvents();
  }

  CMainFrame& Create() {
    frame = std::make_unique<CMainFrame>(state, faulty, prompter, options, commands);
    return *frame;
  }
  // Runs the posted start-up steps: the frame's, then the tree's and the list's.
  CMainFrame& Started() {
    Create();
    for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
    return *frame;
  }
  bool Enabled(int id) { return commands.Query(id).Enabled(); }
  bool Checked(int id) { return commands.Query(id).Checked(); }
  QAction* MenuItem(int popup, int index) { return frame->MenuPopups().at(popup)->actions().at(index); }

  testing_support::TempDrives drives;
  testing_support::FaultySystem faulty;
  QTemporaryDir config;
  ui::SettingsOptionStore options;
  testing_support::ScriptedPrompter prompter;
  activity::AppState state;
  ui::CommandTable commands;
  std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, CreatedHiddenWithToolbarStatusBarAndSplitter) {
  CMainFrame& created = Create();
  EXPECT_FALSE(created.isVisible());
  EXPECT_EQ(created.windowTitle(), QStringLiteral("File Norvex"));
  EXPECT_EQ(created.ToolBar()->windowTitle(), QStringLiteral("File Norvex"));
  EXPECT_EQ(created.ToolBar()->allowedAreas(), Qt::AllToolBarAreas);
  EXPECT_EQ(created.toolBarArea(created.ToolBar()), Qt::TopToolBarArea);
  EXPECT_EQ(created.Status().Selection(), QStringLiteral("S:0, 0 K"));
  EXPECT_EQ(created.Status().Actions(), QStringLiteral("A:0"));
  EXPECT_EQ(created.Status().Message(), QStringLiteral("Ready, for Help press F1"));
  EXPECT_EQ(created.Splitter().count(), 2);
  EXPECT_EQ(created.TreePaneFrame().View(), &created.Tree());
  EXPECT_EQ(created.ListPaneFrame().View(), &created.List());
  EXPECT_EQ(created.TreePane(), nullptr);  // until the start-up step
  EXPECT_EQ(created.FilesListPane(), nullptr);
}

TEST_F(MainFrameTest, StartupShowsTheFrameMaximisedWithPaneCaptions) {
  CMainFrame& started = Started();
  EXPECT_EQ(started.TreePane(), &started.Tree());
  EXPECT_EQ(started.FilesListPane(), &started.List());
  EXPECT_TRUE(started.isVisible());
  EXPECT_TRUE(started.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(started.TreePaneFrame().Caption(), QStringLiteral("Folders Tree"));
  EXPECT_TRUE(started.TreePaneFrame().CaptionShown());
  EXPECT_EQ(started.Tree().windowTitle(), QStringLiteral("Folders Tree"));
  EXPECT_EQ(started.List().windowTitle(), QStringLiteral("Files List"));
  EXPECT_TRUE(state.driveTable.Loaded());
  QCoreApplication::processEvents();
  EXPECT_EQ(started.Splitter().sizes().at(0), 200);
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(MainFrameTest, FrameWaitsForTheSplashMinimumTime) {
  // The splash's clock stands still until the test moves it: however slow the machine,
  // its time is not up when the start-up steps run.
  auto now = std::chrono::steady_clock::time_point{};
  ui::SplashWindow splash(400ms, [&now] { return now; });
  Create().SetSplash(&splash);
  for (int i = 0; i < 3; ++i) QCoreApplication::sendPostedEvents();
  EXPECT_TRUE(splash.isVisible());
  EXPECT_FALSE(frame->isVisible());
  now += 400ms;
  EXPECT_TRUE(QTest::qWaitFor([this] { return frame->isVisible(); }, 60000));
  EXPECT_FALSE(splash.isVisible());
  EXPECT_EQ(splash.Remaining(), 0ms);
}

TEST_F(MainFrameTest, UnopenableDriveTableClosesTheFrameBeforeThePanesStart) {
  faulty.Fail(testing_support::Operation::Open, {testing_support::FileNamed("DriveTbl.NVX")});
  Create();
  QSignalSpy closed(frame.get(), &CMainFrame::closed);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Could not open the file: C:\\DriveTbl.NVX (" +
                                                      drives.Host("C:\\DriveTbl.NVX") + ") !"});
  EXPECT_TRUE(QTest::qWaitFor([&closed] { return closed.count() == 1; }, 60000));
  QCoreApplication::sendPostedEvents();
  EXPECT_FALSE(frame->isVisible());
  EXPECT_TRUE(frame->Tree().windowTitle().isEmpty());  // its start-up step never came
}

TEST_F(MainFrameTest, PerformActionsFollowsThePendingCount) {
  Started();
  EXPECT_FALSE(Enabled(ui::cmd::kPerformActions));
  state.PendingActionCount = 3;
  EXPECT_TRUE(Enabled(ui::cmd::kPerformActions));
  // The toolbar button follows on idle, without any menu being opened.
  QAction* button = frame->ToolBar()->actions().at(0);
  state.PendingActionCount = 0;
  EXPECT_TRUE(IdleUntil([button] { return !button->isEnabled(); }));
  state.PendingActionCount = 1;
  EXPECT_TRUE(IdleUntil([button] { return button->isEnabled(); }));
}

TEST_F(MainFrameTest, DatabaseStateChecksFollowTheFlag) {
  Started();
  EXPECT_TRUE(Checked(ui::cmd::kShowNewDatabaseState));
  EXPECT_FALSE(Checked(ui::cmd::kShowOldDatabaseState));
  EXPECT_TRUE(commands.Execute(ui::cmd::kShowOldDatabaseState));
  EXPECT_FALSE(state.ShowNewDatabaseState);
  EXPECT_TRUE(Checked(ui::cmd::kShowOldDatabaseState));
  EXPECT_FALSE(Checked(ui::cmd::kShowNewDatabaseState));
  EXPECT_TRUE(Enabled(ui::cmd::kShowNewDatabaseState));
}

TEST_F(MainFrameTest, SortCommandsSetTheirKeysAndCarryTheCheck) {
  Started();
  EXPECT_TRUE(Checked(ui::cmd::kSortFoldersByAccessCounter));
  EXPECT_FALSE(Checked(ui::cmd::kSortFoldersByName));
  EXPECT_TRUE(Checked(ui::cmd::kSortFilesByAccessCounter));
  commands.Execute(ui::cmd::kSortFoldersByName);
  EXPECT_EQ(state.FolderSortKey, 0);
  EXPECT_TRUE(Checked(ui::cmd::kSortFoldersByName));
  EXPECT_EQ(frame->Status().Message(), QStringLiteral("Ready, for Help press F1"));

  const std::pair<int, int> keys[] = {{32815, 0}, {32832, 1}, {32855, 2}, {32833, 3}, {32817, 4},
                                      {32870, 5}, {32818, 6}, {32831, 7}, {32814, 8}, {32820, 9},
                                      {32821, 10}, {32822, 11}, {32823, 12}, {32824, 13}, {32816, 15}};
  for (const auto& [id, key] : keys) {
    commands.Execute(id);
    EXPECT_EQ(state.FilesSortKey, key) << id;
    // The list sorted again: its header shows the column now in force (none for type).
    EXPECT_EQ(frame->List().horizontalHeader()->sortIndicatorSection(), key == 15 ? -1 : key) << id;
    for (const auto& [other, unused] : keys) EXPECT_EQ(Checked(other), other == id) << id << " " << other;
  }
}

TEST_F(MainFrameTest, ChangeClusterSizeWaitsForATreeSelectionThenShowsItsMessage) {
  Started();
  EXPECT_FALSE(Enabled(ui::cmd::kChangeClusterSize));
  frame->Tree().setCurrentIndex(frame->Tree().model()->index(0, 0));
  EXPECT_TRUE(Enabled(ui::cmd::kChangeClusterSize));
  frame->Tree().setCurrentIndex({});
  EXPECT_TRUE(Enabled(ui::cmd::kChangeClusterSize));  // once selected, for the whole run
  commands.Execute(ui::cmd::kChangeClusterSize);
  ASSERT_EQ(prompter.asked.size(), 1u);
  EXPECT_EQ(prompter.asked[0].text, "To change Cluster Size use Calvorn Skellan.");
  EXPECT_EQ(prompter.asked[0].icon, common::Icon::Warning);  // the exclamation icon of the cluster-size dialogs
  EXPECT_EQ(prompter.asked[0].buttons, common::Buttons::Ok);
}

TEST_F(MainFrameTest, AutoScanTogglesAndIsWrittenWhenTheFrameGoes) {
  Started();
  EXPECT_EQ(state.AutoScan, 0);
  EXPECT_FALSE(Checked(ui::cmd::kAutoScan));
  commands.Execute(ui::cmd::kAutoScan);
  EXPECT_EQ(state.AutoScan, 1);
  EXPECT_TRUE(Checked(ui::cmd::kAutoScan));
  EXPECT_EQ(options.Read(shell::kAutoScanOption), "");  // not before the frame goes
  frame.reset();
  EXPECT_EQ(options.Read(shell::kAutoScanOption), "On");

  // The next start follows it, and turning it off is kept the same way.
  activity::AppState next;
  ui::CommandTable nextCommands;
  auto second = std::make_unique<CMainFrame>(next, faulty, prompter, options, nextCommands);
  EXPECT_EQ(next.AutoScan, 1);
  EXPECT_TRUE(nextCommands.Query(ui::cmd::kAutoScan).Checked());
  nextCommands.Execute(ui::cmd::kAutoScan);
  second.reset();
  EXPECT_EQ(options.Read(shell::kAutoScanOption), "Off");
}

TEST_F(MainFrameTest, HighlightedItemsShowTheirPromptThenTheIdlePrompt) {
  Started();
  // The menu bar's own way: a status tip travelling up from the bar.
  commands.Action(ui::cmd::kRescan)->showStatusText(frame->menuBar());
  EXPECT_EQ(frame->Status().Message(),
            QStringLiteral("Rescan alll directories from the selected in the tree drive or directory"));
  QStatusTipEvent leave{QString()};
  QCoreApplication::sendEvent(frame->menuBar(), &leave);
  EXPECT_EQ(frame->Status().Message(), QStringLiteral("Ready, for Help press F1"));

  // Items of context menus (their own windows) reach the pane through the table.
  QMenu context;
  commands.WatchMenu(&context);
  QAction* item = commands.NewAction(ui::cmd::kAppExit, QStringLiteral("E&xit"), &context);
  item->hover();
  EXPECT_EQ(frame->Status().Message(), QStringLiteral("Quit the application"));
  emit context.aboutToHide();
  EXPECT_EQ(frame->Status().Message(), QStringLiteral("Ready, for Help press F1"));
}

TEST_F(MainFrameTest, OpeningAMenuLetsTheTipHookChangeItFirst) {
  Started();
  QObject::connect(frame.get(), &CMainFrame::menuBarInitializing, frame.get(), [this](QMenuBar* bar) {
    QMenu* help = frame->MenuPopups().back();
    EXPECT_EQ(bar, frame->menuBar());
    if (ui::CommandTable::IdOf(help->actions().at(0)) != ui::cmd::kTipOfTheDay) {
      help->insertAction(help->actions().at(0),
                         commands.NewAction(ui::cmd::kTipOfTheDay, QStringLiteral("Ti&p of the Day..."), help));
    }
  });
  QMenu* help = frame->MenuPopups().back();
  emit frame->MenuPopups().front()->aboutToShow();
  emit help->aboutToShow();
  EXPECT_EQ(ui::CommandTable::IdOf(help->actions().at(0)), ui::cmd::kTipOfTheDay);
  EXPECT_EQ(ui::CommandTable::IdOf(help->actions().at(1)), ui::cmd::kHelpContents);
  // Refreshed after the hook: nobody handles 114 in this test, so it is grayed.
  EXPECT_FALSE(help->actions().at(0)->isEnabled());
}

TEST_F(MainFrameTest, DatabaseMenuCommandsGoToTheWindowThatOpenedTheMenu) {
  Started();
  std::vector<int> sent;
  QObject owner;
  frame->SetDatabaseMenuOwner(&owner, [&sent](int id) { sent.push_back(id); });
  EXPECT_TRUE(commands.Execute(ui::cmd::kDeleteDatabase));
  EXPECT_TRUE(commands.Execute(32790, QStringLiteral("Move database to &H:")));
  EXPECT_FALSE(commands.Execute(32790, QStringLiteral("Move database to &H: ")));
  EXPECT_EQ(sent, (std::vector<int>{32780, 32790}));
}

TEST_F(MainFrameTest, ToolbarAndStatusBarToggle) {
  Started();
  EXPECT_TRUE(Checked(ui::cmd::kViewToolbar));
  commands.Execute(ui::cmd::kViewToolbar);
  EXPECT_FALSE(frame->ToolBar()->isVisible());
  EXPECT_FALSE(Checked(ui::cmd::kViewToolbar));
  commands.Execute(ui::cmd::kViewStatusBar);
  EXPECT_FALSE(frame->statusBar()->isVisible());
  EXPECT_FALSE(Checked(ui::cmd::kViewStatusBar));
  commands.Execute(ui::cmd::kViewStatusBar);
  EXPECT_TRUE(frame->statusBar()->isVisible());
}

TEST_F(MainFrameTest, HelpCommandsOpenTheirPages) {
  Started();
  commands.Execute(ui::cmd::kHelpContents);
  EXPECT_TRUE(frame->Help().isVisible());
  EXPECT_EQ(frame->Help().CurrentPage(), QStringLiteral("index.html"));
  commands.Execute(ui::cmd::kHelpUsing);
  EXPECT_EQ(frame->Help().CurrentPage(), QStringLiteral("using_help.html"));
  commands.Execute(ui::cmd::kHelpSearch);
  EXPECT_EQ(frame->Help().findChild<QTabWidget*>()->currentIndex(), 1);
  commands.Execute(ui::cmd::kContextHelp);
  EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
  QWhatsThis::leaveWhatsThisMode();
}

class FrameKeysTest : public MainFrameTest {
 protected:
  void SetUp() override {
    Started();
    QApplication::setActiveWindow(frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    for (const auto& [id, target] : std::vector<std::pair<int, Target>>{
             {ui::cmd::kRescanActiveView, Target::Tree}, {ui::cmd::kRescanActiveView, Target::List},
             {ui::cmd::kTreeChangeClusterSize, Target::Tree}, {ui::cmd::kSelectActions, Target::List},
             {ui::cmd::kListChangeClusterSize, Target::List}, {ui::cmd::kUpOneLevel, Target::Tree},
             {ui::cmd::kListProperties, Target::List}}) {
      commands.Register(id, target, [this, id = id, target = target] {
        log.push_back(std::to_string(id) + (target == Target::Tree ? " tree" : " list"));
      });
    }
  }
  void Press(QWidget& focus, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    focus.setFocus();
    QTest::keyClick(&focus, static_cast<Qt::Key>(key), modifiers);
  }

  std::vector<std::string> log;
};

TEST_F(FrameKeysTest, F5GoesToTheActiveViewOnly) {
  Press(frame->Tree(), Qt::Key_F5);
  Press(frame->List(), Qt::Key_F5);
  EXPECT_EQ(log, (std::vector<std::string>{"32777 tree", "32777 list"}));
}

TEST_F(FrameKeysTest, AcceleratorsWinOverTheViewsOwnKeys) {
  Press(frame->List(), Qt::Key_A, Qt::ControlModifier);       // not the table's select-all
  Press(frame->List(), Qt::Key_C, Qt::ControlModifier);       // not copy
  Press(frame->List(), Qt::Key_Return, Qt::ControlModifier);
  Press(frame->Tree(), Qt::Key_Backspace);
  EXPECT_EQ(log, (std::vector<std::string>{"32850 list", "32838 list", "32834 list", "32844 tree"}));
}

TEST_F(FrameKeysTest, F1OpensTheHelpOfThePaneWithTheFocus) {
  Press(frame->List(), Qt::Key_F1);
  EXPECT_EQ(frame->Help().CurrentPage(), QStringLiteral("files_list.html"));
  QApplication::setActiveWindow(frame.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  Press(frame->Tree(), Qt::Key_F1);
  EXPECT_EQ(frame->Help().CurrentPage(), QStringLiteral("folders_tree.html"));
}

TEST_F(FrameKeysTest, AltCSendsTheTreeCommand) {
  state.PendingActionCount = 1;
  Press(frame->Tree(), Qt::Key_C, Qt::AltModifier);
  EXPECT_EQ(log, (std::vector<std::string>{"32843 tree"}));
  EXPECT_TRUE(prompter.asked.empty());  // 32871's message did not come
}

}  // namespace
