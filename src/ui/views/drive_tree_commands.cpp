// The folders tree's commands and its context menu.

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <vector>

#include "activity/app_state.h"
#include "common/prompter.h"
#include "common/status_sink.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/document/drives_document.h"
#include "ui/help/help_pages.h"
#include "ui/views/drive_tree.h"
#include "ui/views/drive_tree_texts.h"

namespace ui {

void CDriveTree::RegisterCommands() {
  CommandTable& commands = context_.commands;
  activity::AppState& state = context_.state;
  commands.Register(cmd::kShowNewDatabaseState, Target::Tree, [this] { ShowDatabaseState(true); },
                    [&state](CommandUi& ui) { ui.SetCheck(state.ShowNewDatabaseState); });
  commands.Register(cmd::kShowOldDatabaseState, Target::Tree, [this] { ShowDatabaseState(false); },
                    [&state](CommandUi& ui) { ui.SetCheck(!state.ShowNewDatabaseState); });
  const auto selected = [this](CommandUi& ui) { ui.Enable(currentIndex().isValid()); };
  commands.Register(cmd::kCollapseAll, Target::Tree, [this] { CollapseAll(); }, selected);
  commands.Register(cmd::kExpandAll, Target::Tree, [this] { ExpandAll(); }, selected);
  commands.Register(cmd::kUpOneLevel, Target::Tree, [this] { UpOneLevel(); }, selected);
  commands.Register(cmd::kTreeProperties, Target::Tree, [this] { Properties(); }, selected);
  commands.Register(cmd::kTreeChangeClusterSize, Target::Tree,
                    [this] { RunTreeChangeClusterSize(context_, CommandAccess()); }, selected);
  commands.Register(cmd::kClusterSizeAnalysis, Target::Tree,
                    [this] { RunClusterAnalysis(context_, CommandAccess()); }, selected);
  RegisterScanCommands();
}

void CDriveTree::RegisterScanCommands() {
  CommandTable& commands = context_.commands;
  activity::AppState& state = context_.state;
  commands.Register(cmd::kStopScanning, Target::Tree, [this] { document_.Scanner().StopScanning(); },
                    [&state](CommandUi& ui) { ui.Enable(state.ScanInProgress.load()); });
  // While a scan runs the menu's Rescan is grayed; F5 still comes and waits for its end.
  commands.Register(cmd::kRescan, Target::Tree, [this] { Rescan(); }, [this](CommandUi& ui) {
    ui.Enable(currentIndex().isValid() && !document_.Scanner().ScanThreadRunning());
  });
  commands.Register(cmd::kRescanActiveView, Target::Tree, [this] { Rescan(); },
                    [this](CommandUi& ui) { ui.Enable(currentIndex().isValid()); });
}

void CDriveTree::CollapseAll() {
  // An explicit stack: folder trees can be deeper than the call stack allows.
  std::vector<QModelIndex> pending{currentIndex()};
  while (!pending.empty()) {
    const QModelIndex item = pending.back();
    pending.pop_back();
    collapse(item);
    for (int row = 0; row < model_->rowCount(item); ++row) pending.push_back(model_->index(row, 0, item));
  }
}

namespace {

// The folders at or below `top` that were never read, none below another, in tree
// order: `top` itself when it was never read, else its unread subfolders at any depth.
// Only these are read, so no entry read before (and no action chosen on one) is lost.
std::vector<scan::CFolderInfo*> UnreadFolders(scan::CFolderInfo& top) {
  std::vector<scan::CFolderInfo*> unread;
  // An explicit stack: folder trees can be deeper than the call stack allows.
  std::vector<scan::CFolderInfo*> pending{&top};
  while (!pending.empty()) {
    scan::CFolderInfo* folder = pending.back();
    pending.pop_back();
    if (folder->readState == scan::ReadState::NotRead) {
      unread.push_back(folder);
      continue;
    }
    for (std::uint32_t i = folder->Count(); i-- > 0;) {
      if (scan::CFolderInfo* child = folder->IsFolder(i) ? folder->GetChild(i) : nullptr) pending.push_back(child);
    }
  }
  return unread;
}

}  // namespace

// Whatever below the item was never read is read first, in one scan; the scan's end
// then expands everything. Expanding item by item would start a scan for the first
// unread folder and refuse every other one while it runs.
void CDriveTree::ExpandAll() {
  const QModelIndex current = currentIndex();
  scan::CFolderInfo* record = RecordOf(current);
  if (record == nullptr) return;
  std::vector<scan::CFolderInfo*> unread = UnreadFolders(*record);
  if (unread.empty()) {
    ExpandAllRead(current);
    return;
  }
  if (context_.state.ScanInProgress.load()) {
    context_.prompter.Ask(common::Message{tree_text::kStopScanningFirst, common::Buttons::Ok, common::Icon::Stop});
    return;
  }
  if (document_.Scanner().StartScan(*record, std::move(unread))) expandAllItem_ = current;
}

void CDriveTree::ExpandAllRead(const QModelIndex& top) {
  std::vector<QModelIndex> pending{top};
  while (!pending.empty()) {
    const QModelIndex item = pending.back();
    pending.pop_back();
    ExpandQuietly(item);
    for (int row = model_->rowCount(item); row-- > 0;) pending.push_back(model_->index(row, 0, item));
  }
  scrollTo(top);
}

void CDriveTree::UpOneLevel() {
  const QModelIndex parent = currentIndex().parent();
  if (parent.isValid()) setCurrentIndex(parent);
}

void CDriveTree::Properties() {
  const QModelIndex current = currentIndex();
  const scan::CFolderInfo* record = RecordOf(current);
  if (record == nullptr) return;
  const QString title = record->Parent() == &document_.DriveList()
                            ? QString::fromUtf8(tree_text::kDriveProperties) + current.data().toString()
                            : QString::fromUtf8(tree_text::kDirectoryProperties) + PathOfItem(current);
  const scan::RecordsHold hold = document_.Scanner().HoldRecords();
  RunTreeProperties(context_, CommandAccess(), title.toStdString());
}

TreeCommandAccess CDriveTree::CommandAccess() {
  TreeCommandAccess access;
  access.driveList = &document_.DriveList();
  access.currentPath = [this] { return PathOfItem(currentIndex()).toStdString(); };
  access.currentRecord = [this] { return RecordOf(currentIndex()); };
  access.collapseToDrive = [this] {
    const QModelIndex drive = DriveItemOf(currentIndex());
    if (!drive.isValid()) return;
    setCurrentIndex(drive);
    collapse(drive);
  };
  access.postRescan = [this] { QTimer::singleShot(0, this, [this] { Rescan(); }); };
  access.showCurrentFolder = [this] { ShowFolder(currentIndex()); };
  access.updateDriveIcons = [this] { UpdateDriveIcons(); };
  // The change dialog's "&Help", wherever the dialog was opened from.
  access.help = [this] { context_.showHelp(help::kClusterSizePage); };
  return access;
}

void CDriveTree::contextMenuEvent(QContextMenuEvent* event) {
  CommandTable& commands = context_.commands;
  // From the keyboard the menu belongs to the current item and opens beside it.
  const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
  const QModelIndex clicked = fromKeyboard ? currentIndex() : indexAt(event->pos());
  const QPoint at = fromKeyboard && clicked.isValid()
                        ? viewport()->mapToGlobal(visualRect(clicked).bottomLeft())
                        : event->globalPos();
  QMenu menu(this);
  if (clicked.isValid()) {
    menu.addAction(commands.NewAction(cmd::kRescan, QString::fromUtf8(tree_text::kRescanItem), &menu));
    menu.addAction(commands.NewAction(cmd::kStopScanning, QString::fromUtf8(tree_text::kStopScanningItem), &menu));
    menu.addSeparator();
    menu.addAction(commands.NewAction(cmd::kCollapseAll, QString::fromUtf8(tree_text::kCollapseAllItem), &menu));
    menu.addAction(commands.NewAction(cmd::kExpandAll, QString::fromUtf8(tree_text::kExpandAllItem), &menu));
    menu.addSeparator();
    menu.addAction(commands.NewAction(cmd::kChangeClusterSize,
                                      QString::fromUtf8(tree_text::kChangeClusterSizeItem), &menu));
    menu.addSeparator();
    menu.addAction(commands.NewAction(cmd::kTreeProperties, QString::fromUtf8(tree_text::kPropertiesItem), &menu));
    menu.addSeparator();
  }
  // The two sub-menus of the "&View" menu that hold these commands, copied item by item.
  const auto copySubMenu = [&](int memberId, const char* title) {
    for (QMenu* popup : context_.menuPopups) {
      for (QAction* action : popup->actions()) {
        QMenu* sub = action->menu();
        if (sub == nullptr) continue;
        for (const QAction* item : sub->actions()) {
          if (CommandTable::IdOf(item) != memberId) continue;
          QMenu* copy = commands.CopyMenu(*sub, &menu);
          copy->setTitle(QString::fromUtf8(title));
          menu.addMenu(copy);
          return;
        }
      }
    }
  };
  copySubMenu(cmd::kShowNewDatabaseState, tree_text::kShowInTreeMenu);
  copySubMenu(cmd::kSortFoldersByName, tree_text::kSortTreeMenu);
  commands.UpdateMenu(&menu);
  menu.exec(at);
  if (clicked.isValid()) setCurrentIndex(clicked);
}

void CDriveTree::SortFolders() {
  common::StatusSink& status = context_.status;
  status.SetBusy(true);
  status.ShowStatus(strings::kSortingFolders);
  model_->SetOrder(OrderOf(context_.state.FolderSortKey));
  status.ShowIdle();
  status.SetBusy(false);
}

void CDriveTree::ShowDatabaseState(bool newState) {
  context_.state.ShowNewDatabaseState = newState;
  UpdateDriveIcons();
  viewport()->update();
}

}  // namespace ui
