// The accelerator table, the toolbar's buttons and the status bar prompts.

#include <QAction>
#include <QToolBar>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include <map>

#include "ui/commands/accelerators.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/commands/toolbar_layout.h"

namespace {

TEST(AcceleratorTable, EveryKeyAndItsCommand) {
  const std::map<QString, int> expected = {
      {"Ctrl+A", 32850},       {"Alt+A", 32869},        {"Alt+B", 59392},      {"Ctrl+C", 32838},
      {"Alt+C", 32843},        {"Ctrl+Shift+N", 32810}, {"Ctrl+Shift+O", 32811}, {"Ctrl+S", 32836},
      {"Alt+S", 59393},        {"Backspace", 32844},    {"F1", 57670},         {"Ctrl+F1", 57667},
      {"Alt+F1", 57666},       {"Shift+F1", 57669},     {"F5", 32777},         {"Ctrl+F5", 32778},
      {"F6", 32862},           {"Ctrl+Left", 32779},    {"Ctrl+Return", 32834}, {"Alt+Return", 32782},
      {"Ctrl+Right", 32781},   {"Alt+X", 57665},        {"Ctrl+M", 32880},
      {"F10", 32771},  // what the menu shows beside "Perform actions"
  };
  std::map<QString, int> actual;
  for (const ui::Accelerator& accelerator : ui::AcceleratorTable()) {
    const QString keys = accelerator.keys.toString(QKeySequence::PortableText);
    EXPECT_TRUE(actual.emplace(keys, accelerator.id).second) << keys.toStdString() << " twice";
  }
  EXPECT_EQ(actual, expected);
  for (const auto& [keys, id] : actual) EXPECT_NE(id, ui::cmd::kChangeClusterSize) << keys.toStdString();
}

TEST(AcceleratorTable, InstalledShortcutsRunTheirCommandsAndAcceptKeypadEnter) {
  ui::CommandTable commands;
  int ran = 0;
  commands.Register(ui::cmd::kListProperties, ui::Target::List, [&ran] { ++ran; });
  QWidget window;
  ui::InstallAccelerators(window, commands);
  EXPECT_EQ(window.actions().size(), static_cast<qsizetype>(ui::AcceleratorTable().size()));
  for (QAction* action : window.actions()) {
    if (ui::CommandTable::IdOf(action) != ui::cmd::kListProperties) continue;
    EXPECT_EQ(action->shortcuts().size(), 2);
    EXPECT_TRUE(action->shortcuts().contains(QKeySequence(Qt::ControlModifier | Qt::Key_Enter)));
    action->trigger();
  }
  EXPECT_EQ(ran, 1);
}

TEST(Toolbar, ButtonsAndSeparatorsInOrderWithTheirTooltips) {
  ui::CommandTable commands;
  QToolBar bar;
  ui::BuildToolBar(bar, commands);
  QList<int> ids;
  QStringList tips;
  for (const QAction* action : bar.actions()) {
    ids << (action->isSeparator() ? 0 : ui::CommandTable::IdOf(action));
    if (!action->isSeparator()) {
      tips << action->toolTip();
      EXPECT_EQ(action->icon().pixmap(17, 17).size(), QSize(17, 17));
      EXPECT_FALSE(action->icon().isNull());
    }
  }
  EXPECT_EQ(ids, QList<int>({32771, 0, 32782, 32871, 32869, 0, 32874, 32778, 0, 32844, 32836, 0,
                             32834, 32850, 0, 57669, 57665}));
  EXPECT_EQ(tips.at(0), QStringLiteral("Perform all selected actions (F10)"));
  EXPECT_EQ(tips.at(2), QStringLiteral("Change Cluster Size (Alt+C)"));
  EXPECT_EQ(tips.at(9), QStringLiteral("Select actions (Ctrl-A)"));
  EXPECT_EQ(tips.at(11), QStringLiteral("Quit the application (Alt-X)"));
  EXPECT_EQ(bar.iconSize(), QSize(17, 17));
}

TEST(Prompts, StatusTextBeforeTheNewlineTooltipAfter) {
  using ui::strings::StatusPrompt;
  using ui::strings::ToolTip;
  EXPECT_EQ(StatusPrompt(32874),
            QStringLiteral("Rescan alll directories from the selected in the tree drive or directory"));
  EXPECT_EQ(ToolTip(32874), QStringLiteral("Rescan selected drive or directory (F5)"));
  EXPECT_EQ(ToolTip(32843), QStringLiteral("Change cluster size  (Alt+C)"));
  EXPECT_EQ(StatusPrompt(32811),
            QStringLiteral("In the directories tree show icons specifying old state of File Norvex active databases"));
  EXPECT_EQ(ToolTip(32811), QStringLiteral("Show old databases state (Ctrl+Shift+O)"));
  EXPECT_EQ(StatusPrompt(32854), QStringLiteral("Perform action that Norvex recomends in the colum 'H'"));
  EXPECT_TRUE(ToolTip(32854).isEmpty());
  EXPECT_EQ(StatusPrompt(32866), QStringLiteral("Restore all selected bckuped files"));
  EXPECT_EQ(StatusPrompt(114), QStringLiteral("Displays a Tip of the Day."));
}

TEST(Prompts, MoveDatabaseItemsNameTheirDriveLetter) {
  EXPECT_EQ(ui::strings::StatusPrompt(32783),
            QStringLiteral("Move File Norvex active database for this drive to the drive 'A:'"));
  EXPECT_EQ(ui::strings::StatusPrompt(32808),
            QStringLiteral("Move File Norvex active database for this drive to the drive 'Z:'"));
  EXPECT_EQ(ui::strings::StatusPrompt(32780), QStringLiteral("Delete File Norvex active database for this drive"));
}

TEST(Prompts, EveryMenuAndToolbarCommandHasOne) {
  ui::CommandTable commands;
  QToolBar bar;
  ui::BuildToolBar(bar, commands);
  for (const int id : ui::ToolbarLayout()) {
    if (id != 0) {
      EXPECT_FALSE(ui::strings::ToolTip(id).isEmpty()) << id;
    }
  }
  for (const int id : {32771, 57665, 32874, 32778, 32779, 32781, 32844, 32782, 32871, 32869, 59392,
                       59393, 32810, 32811, 32830, 32829, 32815, 32816, 32832, 32855, 32833, 32817,
                       32870, 32818, 32831, 32814, 32820, 32821, 32822, 32823, 32824, 32836, 32834,
                       32852, 32863, 32865, 32866, 32856, 32854, 32872, 57666, 57667, 57669, 57668,
                       57664}) {
    EXPECT_FALSE(ui::strings::StatusPrompt(id).isEmpty()) << id;
  }
}

}  // namespace
