#include "ui/commands/menu_layout.h"

#include <QMenu>
#include <QMenuBar>

#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"

namespace ui {
namespace {

using namespace ui::cmd;
using Kind = MenuNode::Kind;

MenuNode Item(int id) { return {Kind::Command, id, nullptr, {}}; }
MenuNode Separator() { return {Kind::Separator, 0, nullptr, {}}; }
MenuNode Popup(const char* title, std::vector<MenuNode> children) {
  return {Kind::Popup, 0, title, std::move(children)};
}

std::vector<MenuNode> MakeLayout() {
  return {
      Popup(strings::kFileMenu, {Item(kPerformActions), Separator(), Item(kAppExit)}),
      Popup(strings::kFoldersTreeMenu,
            {Item(kRescan), Item(kStopScanning), Separator(), Item(kCollapseAll), Item(kExpandAll),
             Separator(), Item(kUpOneLevel), Separator(), Item(kTreeProperties),
             Item(kChangeClusterSize), Item(kClusterSizeAnalysis)}),
      Popup(strings::kViewMenu,
            {Item(kViewToolbar), Item(kViewStatusBar), Separator(),
             Popup(strings::kShowInFoldersTreeMenu,
                   {Item(kShowNewDatabaseState), Item(kShowOldDatabaseState)}),
             Popup(strings::kSortFoldersTreeMenu,
                   {Item(kSortFoldersByName), Item(kSortFoldersByAccessCounter)}),
             Separator(),
             Popup(strings::kSortFilesListMenu,
                   {Item(kSortFilesByName), Item(kSortFilesByType), Item(kSortFilesByAction),
                    Item(kSortFilesByState), Item(kSortFilesByHint), Item(kSortFilesBySize),
                    Item(kSortFilesByCompressedSize), Item(kSortFilesByActualSize),
                    Item(kSortFilesByUsedPercent), Item(kSortFilesByAccessCounter),
                    Item(kSortFilesByLastAccess), Item(kSortFilesByLastOperation),
                    Item(kSortFilesByReadOnly), Item(kSortFilesByWriteOnly),
                    Item(kSortFilesByReadWrite)}),
             Item(kSpaceMap)}),
      Popup(strings::kFilesListMenu,
            {Item(kSelectAll), Separator(), Item(kListProperties),
             Popup(strings::kSelectActionsMenu,
                   {Item(kCompress), Item(kDecompress), Item(kBackup), Item(kRestore), Separator(),
                    Item(kCancelAction), Separator(), Item(kSetHint)})}),
      Popup(strings::kOptionsMenu, {Item(kAutoScan)}),
      Popup(strings::kHelpMenu,
            {Item(kHelpContents), Item(kHelpSearch), Item(kContextHelp), Item(kHelpUsing),
             Separator(), Item(kAppAbout)}),
  };
}

void Fill(QMenu& menu, const std::vector<MenuNode>& nodes, CommandTable& commands) {
  for (const MenuNode& node : nodes) {
    switch (node.kind) {
      case Kind::Command:
        menu.addAction(commands.Action(node.id));
        break;
      case Kind::Separator:
        menu.addSeparator();
        break;
      case Kind::Popup: {
        QMenu* sub = menu.addMenu(QString::fromUtf8(node.title));
        Fill(*sub, node.children, commands);
        commands.WatchMenu(sub);
        break;
      }
    }
  }
}

}  // namespace

const std::vector<MenuNode>& MenuBarLayout() {
  static const std::vector<MenuNode> layout = MakeLayout();
  return layout;
}

std::vector<QMenu*> BuildMenuBar(QMenuBar& bar, CommandTable& commands,
                                 const std::function<void(QMenu*)>& opening) {
  std::vector<QMenu*> popups;
  for (const MenuNode& node : MenuBarLayout()) {
    QMenu* menu = bar.addMenu(QString::fromUtf8(node.title));
    Fill(*menu, node.children, commands);
    if (opening) QObject::connect(menu, &QMenu::aboutToShow, menu, [opening, menu] { opening(menu); });
    commands.WatchMenu(menu);
    popups.push_back(menu);
  }
  return popups;
}

}  // namespace ui
