#pragma once
// The Files list's action commands in the command table: compress, decompress, back up,
// restore, cancel action and set hint, with their enabling rules, the dialogs they ask
// and the worker that scans unread folders before a command is run again.
//
// The list supplies itself through `ListAccess`: while it shows a folder it answers a
// SelectionView (whose StartPrepareFolders calls StartPrepareFolders here) and the
// names of its selected folders; the folders tree supplies the scan hook.

#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "files/action_selection.h"
#include "files/prepare_folders.h"
#include "scan/scan_controller.h"
#include "ui/actions/selection_dialogs.h"
#include "ui/app/shell_context.h"

namespace ui {

struct ListAccess {
  std::function<files::SelectionView*()> view;
  std::function<std::vector<std::string>()> selectedFolderNames;
  std::function<files::FolderScanHook*()> scanHook;
  std::function<QStringList()> driveTexts;
  // After each command has run: the rows it changed are painted again.
  std::function<void()> afterCommand;
  // At exit: the worker stops waiting for the tree.
  std::function<void()> cancelWaits;
  // Kept while a command runs: its dialogs are modal loops, and it goes on with the
  // records it started from.
  std::function<scan::RecordsHold()> holdRecords;
};

class SelectionCommands : public QObject {
  Q_OBJECT

 public:
  SelectionCommands(ShellContext& context, QWidget* window, ListAccess access,
                    QObject* parent = nullptr);
  ~SelectionCommands() override;

  void StartPrepareFolders();
  bool Preparing() const { return worker_.joinable() && !workerDone_; }
  const files::SelectionFlags& Flags() const { return flags_; }

 private:
  void Register();
  void RunCommand(int command);
  void Resend();
  void RunHoldingRecords(int command, files::SelectionView& view);
  // "A:" follows every change a command makes, rows of other folders included.
  void ShowPendingCount();
  bool Enabled(int command) const;

  ShellContext& context_;
  ListAccess access_;
  files::SelectionFlags flags_;
  WindowSelectionDialogs dialogs_;
  files::ActionSelection selection_;
  std::thread worker_;
  std::atomic<bool> workerDone_{true};
};

}  // namespace ui
