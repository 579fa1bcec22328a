#pragma once
// The Files list's action commands in the command table: compress, decompress, back up,
// restore, cancel action and set hint, with their enabling rules, the dialogs they ask
// and the scans of unread folders after which a command goes on.
//
// The engine sees this object as the list (it adds the folder preparing to what the
// panes give); the panes are reached through ActionPanes.

#include <QObject>
#include <string>
#include <vector>

#include "files/action_selection.h"
#include "ui/actions/folder_preparer.h"
#include "ui/actions/selection_dialogs.h"
#include "ui/base/shell_context.h"

namespace ui {

class ActionPanes;

class SelectionCommands : public QObject, private files::SelectionView {
  Q_OBJECT

 public:
  // `panes` outlives this object.
  SelectionCommands(ShellContext& context, QWidget* window, ActionPanes& panes,
                    QObject* parent = nullptr);
  ~SelectionCommands() override;

 private:
  // files::SelectionView
  scan::CFolderInfo* ShownRecord() override;
  std::vector<std::uint32_t> SelectedEntries() const override;
  void ActionChanged(std::uint32_t entry) override;
  void StartPrepareFolders(int command) override;

  void Register();
  void RunCommand(int command, bool foldersPrepared = false);
  // Names of the selected folder entries, in list order.
  std::vector<std::string> SelectedFolderNames();
  // "A:" follows every change a command makes, rows of other folders included.
  void ShowPendingCount();
  bool Enabled(int command) const;

  ShellContext& context_;
  ActionPanes& panes_;
  files::SelectionFlags flags_;
  WindowSelectionDialogs dialogs_;
  files::ActionSelection selection_;
  FolderPreparer preparer_;
};

}  // namespace ui
