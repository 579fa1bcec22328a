#include "ui/views/files_list.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "analysis/space_page_figures.h"
#include "files/hint_coverage.h"
#include "files/host_path_text.h"
#include "files/list_format.h"
#include "scan/folder_info.h"
#include "scan/record_search.h"
#include "common/space.h"
#include "activity/app_state.h"
#include "common/status_sink.h"
#include "ui/base/window_message.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/document/drives_document.h"
#include "ui/prompter/status_panes.h"
#include "ui/list/files_model.h"
#include "ui/list/hint_options_dialog.h"
#include "ui/views/drive_tree_texts.h"
#include "ui/views/hint_refresher.h"

namespace ui {

CFilesList::CFilesList(ShellContext& context, DrivesDocument& document, QWidget* parent)
    : QTableView(parent),
      context_(context),
      document_(document),
      model_(new FilesModel(this)),
      hintRefresher_(new HintRefresher(context.state, context.system, document.Scanner(), this)) {
  setObjectName(QStringLiteral("CFilesList"));
  setWhatsThis(QStringLiteral(
      "The Files list: the files and folders of the folder selected in the Folders tree, "
      "with their sizes, access counts, actions and hints."));
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setSortingEnabled(false);
  setIconSize(QSize(34, 16));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  for (int column = 0; column < files::kColumnCount; ++column) {
    // The name column also holds the gauge and the type icon.
    const int extra = column == activity::kSortName ? 36 : 0;
    setColumnWidth(column, files::kColumns[static_cast<std::size_t>(column)].width + extra);
  }
  horizontalHeader()->setSortIndicatorShown(true);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CFilesList::HeaderClicked);
  // Tab leaves the list for the next pane instead of walking its cells.
  setTabKeyNavigation(false);
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) setCurrentIndex(model_->index(index.row(), 0));
    OpenFocused();
  });
  connect(&document_, &DrivesDocument::folderShown, this, &CFilesList::Fill);
  connect(&document_, &DrivesDocument::subtreePlaced, this, &CFilesList::FolderReplaced);
  connect(hintRefresher_, &HintRefresher::finished, this, &CFilesList::RefreshCodeCells);
  // A command sees every hint, and none changes a record the refresh is reading.
  connect(&context_.commands, &CommandTable::aboutToExecute, hintRefresher_, [this](int id) {
    if (id != cmd::kRefreshHints) hintRefresher_->Finish();
  });
  SetDriveList(&document.DriveList());
  RegisterCommands();
}

CFilesList::~CFilesList() {
  context_.commands.UnregisterAll(Target::List);
  context_.commands.Unregister(cmd::kHintOptions, Target::Frame);
}

void CFilesList::RegisterCommands() {
  CommandTable& commands = context_.commands;
  commands.Register(cmd::kSelectAll, Target::List, [this] { SelectAll(); },
                    [this](CommandUi& ui) { ui.Enable(model_->rowCount() > 0); });
  commands.Register(cmd::kRefreshHints, Target::List, [this] { RefreshHints(); });
  commands.Register(cmd::kHintOptions, Target::Frame,
                    [this] { RunHintOptions(context_.state.HintOptions, window()); });
  commands.Register(
      cmd::kSelectActions, Target::List,
      [this] {
        if (QMenu* popup = MainMenuPopup(strings::kFilesListMenu, 3)) popup->exec(QCursor::pos());
      },
      [this](CommandUi& ui) { ui.Enable(selectionModel() != nullptr && selectionModel()->hasSelection()); });
}

bool CFilesList::event(QEvent* event) {
  if (IsMessage(event, UM_STARTUP)) {
    StartupStep();
    return true;
  }
  return QTableView::event(event);
}

void CFilesList::StartupStep() {
  setWindowTitle(QString::fromUtf8(strings::kFilesListCaption));
  ready_ = false;
}

void CFilesList::Fill(scan::CFolderInfo* folder) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ready_ = false;
  shown_ = folder;
  files::ListRows rows;
  if (folder != nullptr) rows = files::MakeRows(*folder, files::FolderSizesShown(*folder, context_.state));
  model_->Fill(std::move(rows));
  if (!widthsKnown_ && model_->rowCount() > 0) {
    resizeColumnsToContents();
    widthsKnown_ = true;
  }
  QApplication::restoreOverrideCursor();
  emit captionToolTipChanged(folder != nullptr
                                 ? QString::fromStdString(files::WithHostPath(context_.system, folder->path()))
                                 : QString());
  Sort();
  ready_ = true;
  UpdateStatusPanes();
  if (folder != nullptr) Caption(*folder);
}

void CFilesList::Caption(const scan::CFolderInfo& folder) {
  const std::string path = folder.path();
  // Totals of a folder not read through would pass for those of all it holds.
  const QString summary = folder.readState != scan::ReadState::ReadFully
                              ? QStringLiteral(" (%1)").arg(QString::fromUtf8(analysis::kNotReadYet))
                              : QString::fromUtf8(tree_text::kFilesListSummary)
                                    .arg(folder.totalFiles)
                                    .arg(folder.UsedPercent())
                                    .arg(common::KRounded(folder.totalActualSize));
  setWindowTitle(QString::fromUtf8(tree_text::kFilesListPrefix) + QString::fromStdString(path) + summary);
  // An unreadable folder lists as empty, and a drive the recorder did not watch long
  // enough lists without B or C hints: say why, until another folder is shown. Refilled
  // after a scan, the reason is said again once the scan's end has put the idle prompt up.
  std::string withheld = files::WithheldSummary(context_.state, path);
  if (folder.unreadable) {
    context_.status.ShowStatus(tree_text::kUnreadableFolder + path);
  } else if (!withheld.empty()) {
    context_.status.ShowStatus(withheld);
    QMetaObject::invokeMethod(
        this, [this, withheld = std::move(withheld)] { context_.status.ShowStatus(withheld); }, Qt::QueuedConnection);
  } else {
    context_.status.ShowIdle();
  }
}

// A scan hands its records over in place of the old ones: the list must not go on
// pointing at a record that is gone or whose entries have changed under its rows.
void CFilesList::FolderReplaced(scan::CFolderInfo* record) {
  if (shown_ == nullptr) return;
  if (shown_ == record) {
    Refill();
  } else if (!scan::TreeHoldsRecord(document_.DriveList(), shown_)) {
    Fill(document_.CurrentFolder());
  }
}

void CFilesList::Sort() {
  const std::uint8_t key = context_.state.FilesSortKey;
  if (key != sortedKey_) sortReversed_ = false;
  sortedKey_ = key;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  context_.status.ShowStatus(strings::kSortingFiles);
  model_->Sort(key, sortReversed_);
  context_.status.ShowIdle();
  QApplication::restoreOverrideCursor();
  ShowSortIndicator();
}

// A click on the sorted column turns its order around; on another column it sorts by
// that column in its own order.
void CFilesList::HeaderClicked(int column) {
  const auto key = static_cast<std::uint8_t>(column);
  if (key == sortedKey_ && key == context_.state.FilesSortKey) {
    sortReversed_ = !sortReversed_;
  } else {
    context_.state.FilesSortKey = key;
    sortReversed_ = false;
  }
  sortedKey_ = key;
  Sort();
}

void CFilesList::ShowSortIndicator() {
  const std::uint8_t key = sortedKey_;
  const bool ascending = files::SortsAscending(key) != sortReversed_;
  horizontalHeader()->setSortIndicator(key < files::kColumnCount ? key : -1,
                                       ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

std::string CFilesList::ColumnWidthsText() const {
  std::string text;
  for (int column = 0; column < files::kColumnCount; ++column) {
    if (column > 0) text += ' ';
    text += std::to_string(columnWidth(column));
  }
  return text;
}

void CFilesList::RestoreColumnWidths(const std::string& text) {
  const QStringList parts = QString::fromStdString(text).split(u' ', Qt::SkipEmptyParts);
  if (parts.size() != files::kColumnCount) return;
  std::vector<int> widths;
  for (const QString& part : parts) {
    bool ok = false;
    const int width = part.toInt(&ok);
    if (!ok || width < 0 || width > 10000) return;
    widths.push_back(width);
  }
  for (int column = 0; column < files::kColumnCount; ++column) setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
  widthsKnown_ = true;
}

std::vector<std::uint32_t> CFilesList::SelectedEntries() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  std::vector<std::uint32_t> entries;
  entries.reserve(rows.size());
  for (const int row : rows) entries.push_back(model_->Row(row).index);
  return entries;
}

void CFilesList::UpdateStatusPanes() {
  if (context_.state.ScanInProgress.load()) return;
  std::uint32_t files = 0;
  std::uint64_t bytes = 0;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) {
      const files::ListRow& entry = model_->Row(row);
      files += entry.fileCount;
      bytes += entry.size;
    }
  }
  StatusPanes& panes = context_.panes;
  panes.SetSelection(QStringLiteral("S:%1, %2 K").arg(files).arg((bytes + 512) >> 10));
  panes.SetActions(QStringLiteral("A:%1").arg(context_.state.PendingActionCount.load()));
}

void CFilesList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (ready_) UpdateStatusPanes();
}

void CFilesList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (!ready_ || shown_ == nullptr || !current.isValid()) return;
  const files::ListRow& row = model_->Row(current.row());
  std::string path = shown_->path();
  path += row.Name();
  if (row.IsFolder()) path += '\\';
  context_.status.ShowStatus(files::WithHostPath(context_.system, path));
}

QModelIndex CFilesList::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const int rows = model_->rowCount();
  if (rows > 0 && (action == MoveHome || action == MoveEnd)) {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    return model_->index(action == MoveHome ? 0 : rows - 1, column);
  }
  return QTableView::moveCursor(action, modifiers);
}

void CFilesList::SelectAll() {
  ready_ = false;
  selectAll();
  ready_ = true;
  UpdateStatusPanes();
}

void CFilesList::RefreshHints() {
  scan::CFolderInfo* driveList = driveList_;
  if (driveList == nullptr && shown_ != nullptr) driveList = shown_->DriveRecord().Parent();
  if (driveList == nullptr) return;
  hintRefresher_->Start(*driveList);
}

bool CFilesList::RefreshingHints() const { return hintRefresher_->Running(); }

void CFilesList::RefreshCodeCells() {
  if (shown_ != nullptr) model_->RefreshCodes(*shown_);
}

void CFilesList::OpenFocused() {
  if (context_.state.ScanInProgress.load() || shown_ == nullptr) return;
  const QModelIndex focused = currentIndex();
  if (!focused.isValid()) return;
  const files::ListRow& row = model_->Row(focused.row());
  if (!row.IsFolder()) return;
  const bool readFirst = shown_->subfoldersPending != 0;
  emit openSubfolderRequested(QString::fromUtf8(row.nameData, row.nameSize), readFirst);
}

void CFilesList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OpenFocused();
    return;
  }
  QTableView::keyPressEvent(event);
}

QMenu* CFilesList::MainMenuPopup(const char* title, int item) const {
  for (QMenu* popup : context_.menuPopups) {
    if (popup->title() != QString::fromUtf8(title)) continue;
    const QList<QAction*> actions = popup->actions();
    if (item < actions.size()) return actions[item]->menu();
  }
  return nullptr;
}

void CFilesList::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  CommandTable& commands = context_.commands;
  // From the keyboard the menu belongs to the focused row.
  const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
  const QModelIndex hit = fromKeyboard ? currentIndex() : indexAt(event->pos());
  if (hit.isValid()) {
    FocusRowKeepingSelection(hit.row());
    menu.addAction(commands.NewAction(cmd::kListProperties, QString::fromUtf8(strings::kListPropertiesItem), &menu));
    if (QMenu* actions = MainMenuPopup(strings::kFilesListMenu, 3)) {
      QMenu* copy = commands.CopyMenu(*actions, &menu);
      copy->setTitle(QString::fromUtf8(strings::kSelectActionsPopup));
      menu.addMenu(copy);
    }
    menu.addSeparator();
  }
  menu.addAction(commands.NewAction(cmd::kSelectAll, QString::fromUtf8(strings::kSelectAllItem), &menu));
  menu.addSeparator();
  if (QMenu* sort = MainMenuPopup(strings::kViewMenu, 6)) {
    QMenu* copy = commands.CopyMenu(*sort, &menu);
    copy->setTitle(QString::fromUtf8(strings::kSortFilesListPopup));
    menu.addMenu(copy);
  }
  commands.WatchMenu(&menu);
  const QPoint at = fromKeyboard && hit.isValid() ? viewport()->mapToGlobal(visualRect(hit).bottomLeft())
                                                  : event->globalPos();
  menu.exec(at);
}

// A right click on a selected row keeps the whole selection for the pop-up's commands;
// on any other row that row alone becomes the selection, as everywhere on the desktop.
void CFilesList::FocusRowKeepingSelection(int row) {
  const QModelIndex index = model_->index(row, 0);
  if (selectionModel()->isRowSelected(row, QModelIndex())) {
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  } else {
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
}

void CFilesList::focusInEvent(QFocusEvent* event) {
  context_.commands.SetActiveView(Target::List);
  QTableView::focusInEvent(event);
}

}  // namespace ui
