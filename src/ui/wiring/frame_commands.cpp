#include "ui/wiring/frame_commands.h"

#include <QApplication>
#include <QWhatsThis>

#include "activity/app_state.h"
#include "common/prompter.h"
#include "scan/scan_controller.h"
#include "ui/actions/perform_dialog.h"
#include "ui/base/shell_context.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/document/drives_document.h"
#include "ui/help/help_pages.h"
#include "ui/help/help_window.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {
namespace {

// The run changed sizes: the current folder is shown again, caption totals included.
void ShowRunResults(DrivesDocument& document, CFilesList& list) {
  scan::CFolderInfo* const current = document.CurrentFolder();
  if (list.ShownFolder() != nullptr && list.ShownFolder() == current) {
    document.ShowFolder(current);
  } else {
    list.Refill();
  }
}

void PerformActions(ShellContext& context, DrivesDocument& document, CFilesList& list, QWidget& window) {
  // The run walks the records: no scan may replace them until the dialog has gone.
  const scan::RecordsHold hold = document.Scanner().HoldRecords();
  CPerformDialog dialog(context.state, context.system, context.prompter, document.DriveList(), &window);
  dialog.SetHelp([&context] { context.showHelp(kActionsHelpPage); });
  QObject::connect(&dialog, &CPerformDialog::listRefillRequested, &list,
                   [&document, &list] { ShowRunResults(document, list); });
  dialog.exec();
}

}  // namespace

void RegisterPerformCommand(ShellContext& context, DrivesDocument& document, CFilesList& list,
                            QWidget& window) {
  activity::AppState& state = context.state;
  // Never during a scan: its hand-over would replace records the action run walks.
  context.commands.Register(
      cmd::kPerformActions, Target::Frame,
      [&context, &document, &list, &window] { PerformActions(context, document, list, window); },
      [&state](CommandUi& ui) {
        ui.Enable(state.PendingActionCount.load() != 0 && !state.ScanInProgress.load());
      });
}

void RegisterDriveOptionCommands(ShellContext& context, const CDriveTree& tree) {
  activity::AppState& state = context.state;
  common::Prompter& prompter = context.prompter;
  context.commands.Register(
      cmd::kChangeClusterSize, Target::Frame,
      [&prompter] {
        prompter.Ask(common::Message{strings::kChangeClusterSizeMessage, common::Buttons::Ok,
                                     common::Icon::Warning});
      },
      [&tree](CommandUi& ui) { ui.Enable(tree.ItemSelectedOnce()); });
  context.commands.Register(cmd::kAutoScan, Target::Frame,
                            [&state] { state.AutoScan = state.AutoScan == 0 ? 1 : 0; },
                            [&state](CommandUi& ui) { ui.SetCheck(state.AutoScan == 1); });
}

void RegisterHelpCommands(ShellContext& context, std::function<HelpWindow&()> helpWindow,
                          const QWidget& tree, const QWidget& list) {
  CommandTable& commands = context.commands;
  commands.Register(cmd::kHelpContents, Target::Frame, [helpWindow] { helpWindow().ShowContents(); });
  commands.Register(cmd::kHelpSearch, Target::Frame, [helpWindow] { helpWindow().ShowSearch(); });
  commands.Register(cmd::kHelpUsing, Target::Frame, [helpWindow] { helpWindow().ShowPage(help::kUsingHelpPage); });
  commands.Register(cmd::kContextHelp, Target::Frame, [] { QWhatsThis::enterWhatsThisMode(); });
  commands.Register(cmd::kHelp, Target::Frame, [helpWindow, &tree, &list] {
    // Help for where the user is: the pane with the focus, else the main window.
    const QWidget* focus = QApplication::focusWidget();
    const char* page = help::kMainWindowPage;
    if (focus != nullptr && (focus == &tree || tree.isAncestorOf(focus))) page = help::kFoldersTreePage;
    if (focus != nullptr && (focus == &list || list.isAncestorOf(focus))) page = help::kFilesListPage;
    helpWindow().ShowPage(page);
  });
}

}  // namespace ui
