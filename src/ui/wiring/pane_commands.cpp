#include "ui/wiring/pane_commands.h"

#include <cstdint>
#include <vector>

#include "scan/scan_controller.h"
#include "ui/analysis/cluster_commands.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {
namespace {

// Opening a subfolder in the list selects its tree item. When its subfolders were never
// read, the tree reads the shown folder first with the subfolder as the scan's travel
// target, and selects it when that scan ends. Queued: the list finishes its key first.
void LinkTreeToList(CDriveTree& tree, CFilesList& list) {
  QObject::connect(&list, &CFilesList::openSubfolderRequested, &tree,
                   [&tree](const QString& name, bool readFirst) {
    if (readFirst) {
      tree.StartScan(tree.CurrentItem(), /*shallow=*/true, name.toStdString());
      return;
    }
    const QModelIndex target = tree.FindChildItem(tree.CurrentItem(), name);
    if (target.isValid()) tree.setCurrentIndex(target);
  }, Qt::QueuedConnection);
}

}  // namespace

void WirePaneCommands(CMainFrame& frame) {
  LinkTreeToList(frame.Tree(), frame.List());
  CommandTable& commands = frame.Commands();
  CFilesList& list = frame.List();
  // Both commands need a listed folder and at least one selected entry.
  const auto entriesSelected = [&list](CommandUi& ui) {
    ui.Enable(list.ShownFolder() != nullptr && list.selectionModel() != nullptr &&
              list.selectionModel()->hasSelection());
  };
  commands.Register(
      cmd::kListChangeClusterSize, Target::List,
      [&frame, &list] {
        scan::CFolderInfo* shown = list.ShownFolder();
        const std::vector<std::uint32_t> selected = list.SelectedEntries();
        if (shown == nullptr || selected.empty()) return;
        RunListChangeClusterSize(frame.Context(), frame.Tree().CommandAccess(), *shown, selected);
      },
      entriesSelected);
  commands.Register(
      cmd::kListProperties, Target::List,
      [&frame, &list] {
        const scan::CFolderInfo* shown = list.ShownFolder();
        const std::vector<std::uint32_t> selected = list.SelectedEntries();
        if (shown == nullptr || selected.empty()) return;
        const scan::RecordsHold hold = frame.Document().Scanner().HoldRecords();
        RunListProperties(frame.Context(), *shown, selected);
      },
      entriesSelected);
}

}  // namespace ui
