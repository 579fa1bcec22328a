#pragma once
// The Files list's action commands in the command table: compress, decompress, back up,
// restore, cancel action and set hint, with their enabling rules, the dialogs they ask
// and the worker that scans unread folders before a command is run again.
//
// The engine sees this object as the list (it adds the preparing worker to what the
// panes give); the panes are reached through ActionPanes.

#include <QObject>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "files/action_selection.h"
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

  bool Preparing() const { return worker_.joinable() && !workerDone_; }
  const files::SelectionFlags& Flags() const { return flags_; }

 private:
  // files::SelectionView
  scan::CFolderInfo* ShownRecord() override;
  std::vector<std::uint32_t> SelectedEntries() const override;
  void ActionChanged(std::uint32_t entry) override;
  void StartPrepareFolders() override;

  void Register();
  void RunCommand(int command);
  void Resend();
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
  std::thread worker_;
  std::atomic<bool> workerDone_{true};
};

}  // namespace ui
