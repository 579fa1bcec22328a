// The command table: routing to frame, tree, list, active view and application, update
// handlers gating execution, run-time items and copied menus.

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include <string>
#include <vector>

#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"

namespace {

using ui::CommandTable;
using ui::CommandUi;
using ui::Target;

class CommandTableTest : public ::testing::Test {
 protected:
  // Registers a handler that records "<who>:<id>".
  bool Handle(int id, Target target, const std::string& who) {
    return commands.Register(id, target, [this, id, who] { log.push_back(who + ":" + std::to_string(id)); });
  }

  CommandTable commands;
  std::vector<std::string> log;
};

TEST_F(CommandTableTest, HandlersOnlyRegisterWhereTheRoutingSendsTheCommand) {
  EXPECT_TRUE(Handle(ui::cmd::kRescan, Target::Tree, "tree"));
  EXPECT_FALSE(Handle(ui::cmd::kRescan, Target::List, "list"));
  EXPECT_FALSE(Handle(ui::cmd::kRescan, Target::Frame, "frame"));
  EXPECT_TRUE(Handle(ui::cmd::kSelectAll, Target::List, "list"));
  EXPECT_FALSE(Handle(ui::cmd::kSelectAll, Target::Tree, "tree"));
  EXPECT_TRUE(Handle(ui::cmd::kPerformActions, Target::Frame, "frame"));
  EXPECT_FALSE(Handle(ui::cmd::kAppAbout, Target::Frame, "frame"));
  EXPECT_TRUE(Handle(ui::cmd::kAppAbout, Target::App, "app"));
  EXPECT_TRUE(Handle(ui::cmd::kMoveDatabaseFirst + 3, Target::Frame, "frame"));

  EXPECT_TRUE(commands.Execute(ui::cmd::kRescan));
  EXPECT_TRUE(commands.Execute(ui::cmd::kSelectAll));
  EXPECT_TRUE(commands.Execute(ui::cmd::kAppAbout));
  EXPECT_EQ(log, (std::vector<std::string>{"tree:32874", "list:32836", "app:57664"}));
}

TEST_F(CommandTableTest, TreeAndListCommandsIgnoreWhichViewIsActive) {
  Handle(ui::cmd::kStopScanning, Target::Tree, "tree");
  Handle(ui::cmd::kRefreshHints, Target::List, "list");
  commands.SetActiveView(Target::List);
  commands.Execute(ui::cmd::kStopScanning);
  commands.SetActiveView(Target::Tree);
  commands.Execute(ui::cmd::kRefreshHints);
  EXPECT_EQ(log, (std::vector<std::string>{"tree:32778", "list:32862"}));
}

TEST_F(CommandTableTest, F5RescanReachesOnlyTheActiveView) {
  Handle(ui::cmd::kRescanActiveView, Target::Tree, "tree");
  commands.SetActiveView(Target::Tree);
  EXPECT_TRUE(commands.Execute(ui::cmd::kRescanActiveView));
  commands.SetActiveView(Target::List);
  EXPECT_FALSE(commands.Execute(ui::cmd::kRescanActiveView));
  EXPECT_FALSE(commands.Query(ui::cmd::kRescanActiveView).Enabled());
  EXPECT_EQ(log, (std::vector<std::string>{"tree:32777"}));
}

TEST_F(CommandTableTest, ActionCommandsGoToTheActiveViewOnly) {
  Handle(ui::cmd::kCompress, Target::List, "list");
  commands.SetActiveView(Target::Tree);
  EXPECT_FALSE(commands.Query(ui::cmd::kCompress).Enabled());
  commands.SetActiveView(Target::List);
  EXPECT_TRUE(commands.Execute(ui::cmd::kCompress));
  // Only views can be active.
  commands.SetActiveView(Target::Frame);
  EXPECT_EQ(commands.ActiveView(), Target::List);
}

TEST_F(CommandTableTest, UnlistedCommandsTryActiveViewThenFrameThenApplication) {
  const int unlisted = 40000;
  Handle(unlisted, Target::App, "app");
  commands.Execute(unlisted);
  Handle(unlisted, Target::Frame, "frame");
  commands.Execute(unlisted);
  Handle(unlisted, Target::List, "list");
  commands.SetActiveView(Target::List);
  commands.Execute(unlisted);
  commands.SetActiveView(Target::Tree);
  commands.Execute(unlisted);
  EXPECT_EQ(log, (std::vector<std::string>{"app:40000", "frame:40000", "list:40000", "frame:40000"}));
}

TEST_F(CommandTableTest, ADisabledCommandDoesNothing) {
  bool enabled = false;
  commands.Register(ui::cmd::kPerformActions, Target::Frame, [this] { log.push_back("ran"); },
                    [&enabled](CommandUi& ui) { ui.Enable(enabled); });
  EXPECT_FALSE(commands.Execute(ui::cmd::kPerformActions));
  enabled = true;
  EXPECT_TRUE(commands.Execute(ui::cmd::kPerformActions));
  EXPECT_EQ(log, (std::vector<std::string>{"ran"}));
}

TEST_F(CommandTableTest, StateWithoutHandlerAndHandlerWithoutState) {
  // A state registered ahead of its handler: shown, but nothing runs.
  commands.Register(ui::cmd::kPerformActions, Target::Frame, {}, [](CommandUi& ui) { ui.Enable(true); });
  EXPECT_TRUE(commands.Query(ui::cmd::kPerformActions).Enabled());
  EXPECT_FALSE(commands.Execute(ui::cmd::kPerformActions));
  // A handler without update handler is always enabled; no handler at all is disabled.
  Handle(ui::cmd::kAppExit, Target::Frame, "frame");
  EXPECT_TRUE(commands.Query(ui::cmd::kAppExit).Enabled());
  EXPECT_FALSE(commands.Query(ui::cmd::kHelp).Enabled());
  commands.Unregister(ui::cmd::kAppExit, Target::Frame);
  EXPECT_FALSE(commands.Query(ui::cmd::kAppExit).Enabled());
}

TEST_F(CommandTableTest, TriggeringAnyItemOfACommandRunsIt) {
  Handle(ui::cmd::kSelectAll, Target::List, "list");
  QMenu menu;
  QAction* item = commands.NewAction(ui::cmd::kSelectAll, QStringLiteral("Select &all"), &menu);
  item->trigger();
  commands.Action(ui::cmd::kSelectAll)->trigger();
  EXPECT_EQ(log, (std::vector<std::string>{"list:32836", "list:32836"}));
  EXPECT_EQ(CommandTable::IdOf(item), ui::cmd::kSelectAll);
  EXPECT_EQ(item->statusTip(), QStringLiteral("Select all items in the Files list"));
  EXPECT_EQ(CommandTable::IdOf(menu.addSeparator()), -1);
}

TEST_F(CommandTableTest, UpdateHandlersSeeTheTextOfTheItem) {
  // The database pop-up grays the drives whose text ends with a blank.
  commands.Register(ui::cmd::kMoveDatabaseFirst, Target::Frame, [] {},
                    [](CommandUi& ui) { ui.Enable(!ui.Text().endsWith(QLatin1Char(' '))); });
  QMenu menu;
  QAction* usable = commands.NewAction(ui::cmd::kMoveDatabaseFirst, QStringLiteral("Move database to &A:"), &menu);
  QAction* full = commands.NewAction(ui::cmd::kMoveDatabaseFirst, QStringLiteral("Move database to &A: "), &menu);
  menu.addAction(usable);
  menu.addAction(full);
  commands.UpdateMenu(&menu);
  EXPECT_TRUE(usable->isEnabled());
  EXPECT_FALSE(full->isEnabled());
}

TEST_F(CommandTableTest, CopiedMenuKeepsTextsIdsChecksAndStates) {
  commands.Register(ui::cmd::kSortFoldersByName, Target::Frame, [this] { log.push_back("name"); },
                    [](CommandUi& ui) { ui.SetCheck(false); });
  commands.Register(ui::cmd::kSortFoldersByAccessCounter, Target::Frame, [] {},
                    [](CommandUi& ui) { ui.SetCheck(true); });
  QMenu source(QStringLiteral("S&ort Folders tree by"));
  source.addAction(commands.Action(ui::cmd::kSortFoldersByName));
  source.addAction(commands.Action(ui::cmd::kSortFoldersByAccessCounter));
  source.addSeparator();
  source.addAction(commands.Action(ui::cmd::kHelp));  // nobody handles it: grayed
  commands.UpdateMenu(&source);

  QWidget owner;
  QMenu* copy = commands.CopyMenu(source, &owner);
  ASSERT_EQ(copy->actions().size(), 4);
  EXPECT_EQ(copy->title(), source.title());
  QAction* byName = copy->actions().at(0);
  QAction* byCounter = copy->actions().at(1);
  EXPECT_EQ(byName->text(), QStringLiteral("&Name"));
  EXPECT_NE(byName, commands.Action(ui::cmd::kSortFoldersByName));
  EXPECT_EQ(CommandTable::IdOf(byCounter), ui::cmd::kSortFoldersByAccessCounter);
  EXPECT_FALSE(byName->isChecked());
  EXPECT_TRUE(byCounter->isChecked());
  EXPECT_TRUE(copy->actions().at(2)->isSeparator());
  EXPECT_FALSE(copy->actions().at(3)->isEnabled());
  byName->trigger();
  EXPECT_EQ(log, (std::vector<std::string>{"name"}));
}

TEST_F(CommandTableTest, OnlyCheckedItemsCarryACheckMark) {
  bool checked = true;
  commands.Register(ui::cmd::kAutoScan, Target::Frame, [] {}, [&checked](CommandUi& ui) { ui.SetCheck(checked); });
  QAction* item = commands.Action(ui::cmd::kAutoScan);
  commands.UpdateAction(item);
  EXPECT_TRUE(item->isCheckable());
  EXPECT_TRUE(item->isChecked());
  checked = false;
  commands.UpdateAction(item);
  EXPECT_FALSE(item->isChecked());
  EXPECT_FALSE(item->isCheckable());
}

TEST_F(CommandTableTest, AWindowThatGoesTakesItsHandlersWithIt) {
  Handle(ui::cmd::kRescan, Target::Tree, "tree");
  Handle(ui::cmd::kStopScanning, Target::Tree, "tree");
  Handle(ui::cmd::kSelectAll, Target::List, "list");
  commands.UnregisterAll(Target::Tree);
  EXPECT_FALSE(commands.Execute(ui::cmd::kRescan));
  EXPECT_FALSE(commands.Execute(ui::cmd::kStopScanning));
  EXPECT_TRUE(commands.Execute(ui::cmd::kSelectAll));
}

TEST_F(CommandTableTest, AHandlerMayReplaceItselfWhileRunning) {
  commands.Register(ui::cmd::kAppExit, Target::Frame, [this] {
    commands.Register(ui::cmd::kAppExit, Target::Frame, [this] { log.push_back("second"); });
    log.push_back("first");
  });
  commands.Execute(ui::cmd::kAppExit);
  commands.Execute(ui::cmd::kAppExit);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
}

}  // namespace
