#include "ui/wiring/pane_commands.h"

#include <cstdint>
#include <string>
#include <vector>

#include "scan/folder_info.h"
#include "scan/scan_controller.h"
#include "ui/analysis/cluster_commands.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/document/drives_document.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {
namespace {

// Opening a subfolder in the list makes it the current folder. When its subfolders were
// never read, the shown folder is read first with the subfolder as the scan's travel
// target, which selects it when that scan ends. Queued: the list finishes its key first.
void OpenSubfoldersFromTheList(DrivesDocument& document, CFilesList& list) {
  QObject::connect(&list, &CFilesList::openSubfolderRequested, &document,
                   [&document, &list](const QString& name, bool readFirst) {
    scan::CFolderInfo* shown = list.ShownFolder();
    if (shown == nullptr) return;
    const std::string wanted = name.toStdString();
    if (readFirst) {
      document.Scanner().StartScan(*shown, /*shallow=*/true, wanted);
      return;
    }
    for (std::uint32_t i = 0; i < shown->Count(); ++i) {
      if (shown->IsFolder(i) && shown->names(i) == wanted) {
        document.ShowFolder(shown->GetChild(i));
        return;
      }
    }
  }, Qt::QueuedConnection);
}

}  // namespace

void WirePaneCommands(ShellContext& context, DrivesDocument& document, CDriveTree& tree, CFilesList& list) {
  OpenSubfoldersFromTheList(document, list);
  CommandTable& commands = context.commands;
  // Both commands need a listed folder and at least one selected entry.
  const auto entriesSelected = [&list](CommandUi& ui) {
    ui.Enable(list.ShownFolder() != nullptr && list.selectionModel() != nullptr &&
              list.selectionModel()->hasSelection());
  };
  commands.Register(
      cmd::kListChangeClusterSize, Target::List,
      [&context, &tree, &list] {
        scan::CFolderInfo* shown = list.ShownFolder();
        const std::vector<std::uint32_t> selected = list.SelectedEntries();
        if (shown == nullptr || selected.empty()) return;
        RunListChangeClusterSize(context, tree.CommandAccess(), *shown, selected);
      },
      entriesSelected);
  commands.Register(
      cmd::kListProperties, Target::List,
      [&context, &document, &list] {
        const scan::CFolderInfo* shown = list.ShownFolder();
        const std::vector<std::uint32_t> selected = list.SelectedEntries();
        if (shown == nullptr || selected.empty()) return;
        const scan::RecordsHold hold = document.Scanner().HoldRecords();
        RunListProperties(context, *shown, selected);
      },
      entriesSelected);
}

}  // namespace ui
