// The menu bar against the program's menu table: pop-ups, item order, texts with their
// shortcut texts, and identifiers.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "ui_shell/qt_print.h"

#include "ui/commands/command_table.h"
#include "ui/commands/menu_layout.h"

namespace {

// One line per item: "id text", "-" for a separator, "> title" ... "<" around a pop-up.
QStringList Describe(const QMenu& menu) {
  QStringList lines;
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      lines << QStringLiteral("-");
    } else if (const QMenu* sub = action->menu()) {
      lines << QStringLiteral("> ") + sub->title();
      lines << Describe(*sub);
      lines << QStringLiteral("<");
    } else {
      lines << QString::number(ui::CommandTable::IdOf(action)) + QLatin1Char(' ') + action->text();
    }
  }
  return lines;
}

class MenuBarTest : public ::testing::Test {
 protected:
  MenuBarTest() : popups(ui::BuildMenuBar(bar, commands)) {}
  QStringList Popup(int index) const { return Describe(*popups.at(index)); }

  ui::CommandTable commands;
  QMenuBar bar;
  std::vector<QMenu*> popups;
};

TEST_F(MenuBarTest, PopupTitlesLeftToRight) {
  QStringList titles;
  for (const QMenu* menu : popups) titles << menu->title();
  EXPECT_EQ(titles, QStringList({"&File", "Folders &Tree", "&View", "Files &List", "&Options", "&Help"}));
}

TEST_F(MenuBarTest, FileMenu) {
  EXPECT_EQ(Popup(0), QStringList({"32771 &Perform actions\tF10", "-", "57665 E&xit\tAlt+X"}));
}

TEST_F(MenuBarTest, FoldersTreeMenu) {
  EXPECT_EQ(Popup(1), QStringList({
                          "32874 &Rescan selected drive or directory\tF5",
                          "32778 &Stop scanning\tCtrl+F5",
                          "-",
                          "32779 &Collapse all children\tCtrl+Left",
                          "32781 &Expand all children\tCtrl+Right",
                          "-",
                          "32844 &Up one level\tBackspace",
                          "-",
                          "32782 &Properties ...\tAlt+Enter",
                          "32871 C&hange cluster size ...\tAlt+C",
                          "32869 Cluster size analysis\tAlt+A",
                      }));
}

TEST_F(MenuBarTest, ViewMenuWithItsThreeSubMenus) {
  EXPECT_EQ(Popup(2), QStringList({
                          "59392 &Toolbar\tAlt+B",
                          "59393 &Status Bar\tAlt+S",
                          "-",
                          "> Show in &Folders tree",
                          "32810 &New databases state\tCtrl+Shift+N",
                          "32811 &Old databases state\tCtrl+Shift+O",
                          "<",
                          "> S&ort Folders tree by",
                          "32830 &Name",
                          "32829 &Access counter",
                          "<",
                          "-",
                          "> So&rt Files list by",
                          "32815 &Name",
                          "32816 &Type",
                          "32832 Act&ion",
                          "32855 &State",
                          "32833 &Hint",
                          "32817 Si&ze",
                          "32870 C&ompressed size",
                          "32818 A&ctual size",
                          "32831 &Used percentage",
                          "32814 &Access counter",
                          "32820 &Last access date",
                          "32821 Last &operation",
                          "32822 &Read-only access counter",
                          "32823 &Write-only access counter",
                          "32824 R&ead-and-write access counter",
                          "<",
                          "32880 Space &map\tCtrl+M",
                      }));
}

TEST_F(MenuBarTest, FilesListMenu) {
  EXPECT_EQ(Popup(3), QStringList({
                          "32836 &Select all\tCtrl+S",
                          "-",
                          "32834 &Properties ...\tCtrl+Enter",
                          "> Select &actions...\tCtrl+A",
                          "32852 &Compress",
                          "32863 &Decompress",
                          "32865 &Backup",
                          "32866 &Restore",
                          "-",
                          "32856 Cancel &action",
                          "-",
                          "32854 Set &hint",
                          "<",
                      }));
}

TEST_F(MenuBarTest, OptionsAndHelpMenus) {
  EXPECT_EQ(Popup(4), QStringList({"32872 Auto &scan at start up all local disks"}));
  EXPECT_EQ(Popup(5), QStringList({
                          "57666 &Contents\tAlt+F1",
                          "57667 &Search\tCtrl+F1",
                          "57669 C&ontext help\tShift+F1",
                          "57668 &Using help",
                          "-",
                          "57664 &About File Norvex ...",
                      }));
}

TEST_F(MenuBarTest, ItemsAreTheCommandTablesOwnActions) {
  // One action per command: the menu, the toolbar and the state updates share it.
  const QAction* exit = popups.at(0)->actions().at(2);
  EXPECT_EQ(exit, commands.Action(57665));
  // Shortcut texts are texts only: the accelerator table does the keys.
  EXPECT_TRUE(exit->shortcut().isEmpty());
}

TEST_F(MenuBarTest, OpeningAPopupRefreshesItsItemsFromTheTable) {
  bool checked = true;
  commands.Register(32872, ui::Target::Frame, [] {}, [&checked](ui::CommandUi& ui) { ui.SetCheck(checked); });
  QMenu* options = popups.at(4);
  emit options->aboutToShow();
  EXPECT_TRUE(options->actions().at(0)->isChecked());
  checked = false;
  emit options->aboutToShow();
  EXPECT_FALSE(options->actions().at(0)->isChecked());
  // A command nobody handles is grayed.
  QMenu* file = popups.at(0);
  emit file->aboutToShow();
  EXPECT_FALSE(file->actions().at(2)->isEnabled());
}

}  // namespace
