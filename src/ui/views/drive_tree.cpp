#include "ui/views/drive_tree.h"

#include "shell/app_state.h"
#include "shell/status_sink.h"
#include "ui/app/window_message.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/frame/main_frame.h"

namespace ui {

CDriveTree::CDriveTree(ShellContext& context, QWidget* parent)
    : QTreeView(parent), context_(context) {
  setObjectName(QStringLiteral("CDriveTree"));
  setHeaderHidden(true);
  setWhatsThis(QStringLiteral(
      "The Folders tree: the drives and their folders. Select one to list its files; "
      "expand it or press F5 to read it."));
  RegisterCommands();
}

CDriveTree::~CDriveTree() { context_.commands.UnregisterAll(Target::Tree); }

void CDriveTree::RegisterCommands() {
  CommandTable& commands = context_.commands;
  shell::AppState& state = context_.state;
  commands.Register(cmd::kShowNewDatabaseState, Target::Tree, [this] { ShowDatabaseState(true); },
                    [&state](CommandUi& ui) { ui.SetCheck(state.ShowNewDatabaseState); });
  commands.Register(cmd::kShowOldDatabaseState, Target::Tree, [this] { ShowDatabaseState(false); },
                    [&state](CommandUi& ui) { ui.SetCheck(!state.ShowNewDatabaseState); });
}

bool CDriveTree::event(QEvent* event) {
  if (IsMessage(event, UM_STARTUP)) {
    StartupStep();
    return true;
  }
  return QTreeView::event(event);
}

void CDriveTree::StartupStep() {
  context_.frame.RevealAfterSplash();
  setWindowTitle(QString::fromUtf8(strings::kFoldersTreeCaption));
}

void CDriveTree::focusInEvent(QFocusEvent* event) {
  context_.commands.SetActiveView(Target::Tree);
  QTreeView::focusInEvent(event);
}

void CDriveTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (current.isValid()) itemSelectedOnce_ = true;
  QTreeView::currentChanged(current, previous);
}

void CDriveTree::SortFolders() {
  shell::StatusSink& status = context_.status;
  status.SetBusy(true);
  status.ShowStatus(strings::kSortingFolders);
  status.ShowIdle();
  status.SetBusy(false);
}

void CDriveTree::ShowDatabaseState(bool newState) {
  context_.state.ShowNewDatabaseState = newState;
  viewport()->update();
}

}  // namespace ui
