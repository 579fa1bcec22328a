#include "ui/views/drive_tree.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QStandardItemModel>
#include <QTimer>
#include <ctime>
#include <vector>

#include "activity/drive_table.h"
#include "analysis/space_page_figures.h"
#include "common/space.h"
#include "files/hint_coverage.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "activity/app_state.h"
#include "common/prompter.h"
#include "common/status_sink.h"
#include "ui/app/window_message.h"
#include "ui/commands/command_ids.h"
#include "ui/document/drives_document.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/frame/main_frame.h"
#include "ui/help/help_pages.h"
#include "ui/help/help_window.h"
#include "ui/views/drive_tree_model.h"
#include "ui/views/drive_tree_texts.h"
#include "ui/views/files_list.h"
#include "ui/document/throttled_status_sink.h"
#include "ui/views/tree_images.h"

namespace ui {
namespace {

int DriveTypeIndex(platform::DriveType type) {
  switch (type) {
    case platform::DriveType::Removable: return 0;
    case platform::DriveType::Fixed: return 1;
    case platform::DriveType::Remote: return 2;
    case platform::DriveType::CdRom: return 3;
    case platform::DriveType::RamDisk: return 4;
    default: return 5;
  }
}

char DriveLetterOf(const QString& driveItemText) {
  return driveItemText.isEmpty() ? '\0' : static_cast<char>(driveItemText.at(0).toLatin1());
}

// The database fill image of a drive record: 43 to 56, plus 14 once its span has ended.
int FillImage(std::uint32_t fill, bool spanEnded) {
  const int image = tree_image::kFirstFillBar + static_cast<int>((fill * 13 + 7) / 100);
  return spanEnded ? image + tree_image::kFillBarCount : image;
}

}  // namespace

CDriveTree::CDriveTree(ShellContext& context, DrivesDocument& document, QWidget* parent)
    : QTreeView(parent), context_(context), document_(document), images_(std::make_unique<TreeImages>()) {
  setObjectName(QStringLiteral("CDriveTree"));
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setIconSize(QSize(32, 16));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(false);
  setWhatsThis(QStringLiteral(
      "The Folders tree: the drives and their folders. Select one to list its files; "
      "expand it or press F5 to read it."));
  model_ = new DriveTreeModel(*images_, this);
  setModel(model_);
  connect(this, &QTreeView::expanded, this, &CDriveTree::OnExpanded);
  connect(&document_, &DrivesDocument::scanStarted, this, [this](scan::CFolderInfo* record) { ScanStarted(*record); });
  connect(&document_, &DrivesDocument::subtreePlaced, this,
          [this](scan::CFolderInfo* record) { SubtreePlaced(*record); });
  connect(&document_, &DrivesDocument::scanFinished, this,
          [this](scan::CFolderInfo* record, const scan::ScanEnding& ending) { ScanFinished(*record, ending); });
  connect(&document_, &DrivesDocument::clusterAnalysisPending, this, &CDriveTree::ClusterAnalysisPending);
  RegisterCommands();
}

CDriveTree::~CDriveTree() { context_.commands.UnregisterAll(Target::Tree); }

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
  commands.Register(cmd::kStopScanning, Target::Tree, [this] { StopScanning(); },
                    [&state](CommandUi& ui) { ui.Enable(state.ScanInProgress.load()); });
  // While a scan runs the menu's Rescan is grayed; F5 still comes and waits for its end.
  commands.Register(cmd::kRescan, Target::Tree, [this] { Rescan(); }, [this](CommandUi& ui) {
    ui.Enable(currentIndex().isValid() && !document_.Scanner().ScanThreadRunning());
  });
  commands.Register(cmd::kRescanActiveView, Target::Tree, [this] { Rescan(); },
                    [this](CommandUi& ui) { ui.Enable(currentIndex().isValid()); });
}

bool CDriveTree::event(QEvent* event) {
  if (IsMessage(event, UM_STARTUP)) {
    StartupStep();
    return true;
  }
  return QTreeView::event(event);
}

void CDriveTree::StartupStep() {
  EnumerateDrives();
  if (context_.state.AutoScan == 1) {
    std::vector<char> letters;
    for (int row = 0; row < model_->rowCount(); ++row) {
      letters.push_back(DriveLetterOf(model_->item(row)->text()));
    }
    document_.Scanner().StartAutoScan(std::move(letters), [this](char letter) -> scan::CFolderInfo* {
      for (int row = 0; row < model_->rowCount(); ++row) {
        QStandardItem* drive = model_->item(row);
        if (DriveLetterOf(drive->text()) != letter) continue;
        scanItem_ = drive->index();
        setCurrentIndex(drive->index());
        return DriveTreeModel::RecordOf(*drive);
      }
      return nullptr;
    });
  }
  // The frame owns the splash's minimum time and shows itself maximised after it.
  context_.frame.RevealAfterSplash();
  setWindowTitle(QString::fromUtf8(strings::kFoldersTreeCaption));
}

void CDriveTree::EnumerateDrives() {
  common::StatusSink& status = context_.status;
  status.SetBusy(true);
  lastShownItem_ = QPersistentModelIndex();
  model_->ForgetAll();
  model_->clear();
  document_.ReadDrives();
  scan::CFolderInfo& driveList = document_.DriveList();
  for (std::uint32_t i = 0; i < driveList.Count(); ++i) {
    const std::string name(driveList.names(i));
    const char letter = name.front();
    status.ShowStatus(std::string(tree_text::kReadingDrive) + name + "'");
    QString text = QString::fromStdString(name);
    if (const auto volume = context_.system.GetVolumeInformation(letter); volume && !volume->label.empty()) {
      text += QLatin1Char(' ') + QString::fromStdString(volume->label);
    }
    scan::CFolderInfo* root = driveList.GetChild(i);
    const int typeImage = tree_image::kFirstDriveType + DriveTypeIndex(context_.system.GetDriveType(letter));
    QStandardItem* item = model_->NewItem(text, root, typeImage);
    // How long the recorder recorded the drive: why it has no B or C hints, if so.
    item->setToolTip(QString::fromStdString(files::JudgeCoverage(context_.state, letter).Summary()));
    item->appendRow(model_->NewItem(QString::fromUtf8(tree_text::kDummy), nullptr, 0));
    model_->appendRow(item);
  }
  UpdateDriveIcons();
  status.ShowIdle();
  status.SetBusy(false);
}

void CDriveTree::UpdateDriveIcons() {
  const activity::TableState tableState =
      context_.state.ShowNewDatabaseState ? activity::TableState::New : activity::TableState::Old;
  const activity::DriveTable& table = context_.state.driveTable;
  const std::int64_t now = context_.system.Now();
  const std::uint32_t localNow = platform::DosDateTimeFromLocal(now);
  for (int row = 0; row < model_->rowCount(); ++row) {
    const QModelIndex drive = model_->index(row, 0);
    const auto number = static_cast<std::uint8_t>(DriveLetterOf(drive.data().toString()) - 64);
    const int index = table.Find(number, tableState);
    if (index < 0) {
      SetImages(drive, tree_image::kFullyRead, tree_image::kNoDatabaseSelected);
      continue;
    }
    const activity::DriveRecord& record = table.State(tableState).at(static_cast<std::size_t>(index));
    const int image = FillImage(table.FillPercentage(index, tableState), localNow >= record.spanEnd);
    SetImages(drive, image, image);
  }
}

void CDriveTree::SetImages(const QModelIndex& item, int normal, int selected) {
  model_->setData(item, normal, tree_role::kNormalImage);
  model_->setData(item, selected, tree_role::kSelectedImage);
}

void CDriveTree::focusInEvent(QFocusEvent* event) {
  context_.commands.SetActiveView(Target::Tree);
  QTreeView::focusInEvent(event);
}

void CDriveTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  if (previous.isValid()) {
    model_->setData(previous, false, tree_role::kIsCurrent);
    if (previous.parent().isValid()) {
      model_->setData(previous, tree_image::kFolderLeft, tree_role::kStateImage);
    }
  }
  if (!current.isValid()) return;
  itemSelectedOnce_ = true;
  model_->setData(current, true, tree_role::kIsCurrent);
  if (current.parent().isValid()) {
    model_->setData(current, StateImage(current) + 1, tree_role::kStateImage);
  }
  const QModelIndex firstChild = model_->index(0, 0, current);
  const bool unread = firstChild.isValid() && RecordOf(firstChild) == nullptr;
  if (document_.Scanner().ShallowScanRunning() && (current == lastShownItem_ || unread)) return;
  lastShownItem_ = unread ? QPersistentModelIndex() : QPersistentModelIndex(current);
  ShowFolder(current);
}

void CDriveTree::ShowFolder(const QModelIndex& item) {
  scan::CFolderInfo* folder = RecordOf(item);
  if (!item.isValid() || folder == nullptr) return;
  emit folderShown(folder);
  // Totals of a folder not read through would pass for those of all it holds.
  const QString summary = folder->readState != scan::ReadState::ReadFully
                              ? QStringLiteral(" (%1)").arg(QString::fromUtf8(analysis::kNotReadYet))
                              : QString::fromUtf8(tree_text::kFilesListSummary)
                                    .arg(folder->totalFiles)
                                    .arg(folder->UsedPercent())
                                    .arg(common::KRounded(folder->totalActualSize));
  context_.frame.List().setWindowTitle(QString::fromUtf8(tree_text::kFilesListPrefix) +
                                       PathOfItem(currentIndex()) + summary);
  // An unreadable folder lists as empty, and a drive the recorder did not watch long
  // enough lists without B or C hints: say why, until another folder is shown.
  const std::string withheld = files::WithheldSummary(context_.state, folder->path());
  if (folder->unreadable) {
    context_.status.ShowStatus(tree_text::kUnreadableFolder + PathOfItem(item).toStdString());
  } else if (!withheld.empty()) {
    context_.status.ShowStatus(withheld);
  } else {
    context_.status.ShowIdle();
  }
}

// --- item queries ------------------------------------------------------------------

scan::CFolderInfo* CDriveTree::RecordOf(const QModelIndex& item) const {
  if (!item.isValid()) return nullptr;
  const QStandardItem* standard = model_->itemFromIndex(item);
  return standard == nullptr ? nullptr : DriveTreeModel::RecordOf(*standard);
}

int CDriveTree::StateImage(const QModelIndex& item) const { return item.data(tree_role::kStateImage).toInt(); }
int CDriveTree::NormalImage(const QModelIndex& item) const { return item.data(tree_role::kNormalImage).toInt(); }
int CDriveTree::SelectedImage(const QModelIndex& item) const {
  return item.data(tree_role::kSelectedImage).toInt();
}

QString CDriveTree::PathOfItem(const QModelIndex& item) const {
  if (!item.isValid()) return {};
  if (!item.parent().isValid()) return item.data().toString().left(2) + QLatin1Char('\\');
  return PathOfItem(item.parent()) + item.data().toString() + QLatin1Char('\\');
}

QModelIndex CDriveTree::FindChildItem(const QModelIndex& item, const QString& name) const {
  model_->fetchMore(item);
  for (int row = 0; row < model_->rowCount(item); ++row) {
    const QModelIndex child = model_->index(row, 0, item);
    if (child.data().toString() == name) return child;
  }
  return {};
}

QModelIndex CDriveTree::ItemOf(const scan::CFolderInfo* record) const {
  const QStandardItem* item = model_->ItemOf(record);
  return item == nullptr ? QModelIndex() : item->index();
}

QModelIndex CDriveTree::DriveItemOf(QModelIndex item) const {
  while (item.parent().isValid()) item = item.parent();
  return item;
}

// --- scanning ----------------------------------------------------------------------

bool CDriveTree::NeedsReading(const QModelIndex& item) const {
  model_->fetchMore(item);
  const int children = model_->rowCount(item);
  if (children == 0) return false;
  if (RecordOf(model_->index(0, 0, item)) == nullptr) return true;
  for (int row = 0; row < children; ++row) {
    const scan::CFolderInfo* child = RecordOf(model_->index(row, 0, item));
    if (child != nullptr && child->readState == scan::ReadState::NotRead) return true;
  }
  return false;
}

void CDriveTree::OnExpanded(const QModelIndex& item) {
  if (expandingQuietly_ || !NeedsReading(item)) return;
  // The expansion waits for the scan: its end expands the item.
  collapse(item);
  if (context_.state.ScanInProgress.load()) {
    context_.prompter.Ask(common::Message{tree_text::kStopScanningFirst, common::Buttons::Ok, common::Icon::Stop});
    return;
  }
  QStandardItem* standard = model_->itemFromIndex(item);
  if (RecordOf(model_->index(0, 0, item)) == nullptr) standard->removeRow(0);
  StartScan(item, /*shallow=*/true);
}

bool CDriveTree::StartScan(const QModelIndex& item, bool shallow, std::optional<std::string> travelTarget) {
  scan::CFolderInfo* record = RecordOf(item);
  if (record == nullptr) return false;
  scanItem_ = item;
  return document_.Scanner().StartScan(*record, shallow, std::move(travelTarget));
}

void CDriveTree::Rescan() {
  document_.Scanner().Rescan([this]() -> scan::CFolderInfo* {
    const QModelIndex current = currentIndex();
    if (current.isValid()) scanItem_ = current;
    return RecordOf(current);
  });
}

void CDriveTree::StopScanning() { document_.Scanner().StopScanning(); }

void CDriveTree::RemoveChildItems(QStandardItem& item) {
  item.setData(false, tree_role::kChildrenPending);
  model_->ForgetDescendants(item);
  if (item.rowCount() > 0) item.removeRows(0, item.rowCount());
}

void CDriveTree::ScanStarted(scan::CFolderInfo& record) {
  const QModelIndex item = ItemOf(&record);
  if (!item.isValid()) return;
  scanItem_ = item;
  collapse(item);
  RemoveChildItems(*model_->itemFromIndex(item));
  if (item.parent().isValid()) SetImages(item, tree_image::kNotRead, tree_image::kNotRead);
}

void CDriveTree::SubtreePlaced(scan::CFolderInfo& record) {
  const QModelIndex item = ItemOf(&record);
  if (item.isValid()) {
    QStandardItem* standard = model_->itemFromIndex(item);
    RemoveChildItems(*standard);
    model_->AddFolderItems(*standard, record);
    if (item.parent().isValid()) {
      SetImages(item, DriveTreeModel::NormalImageFor(record.readState),
                DriveTreeModel::SelectedImageFor(record.readState));
    }
  }
  emit subtreeReplaced(&record);
  UpdateDriveIcons();
}

void CDriveTree::ExpandQuietly(const QModelIndex& item) {
  model_->fetchMore(item);
  expandingQuietly_ = true;
  expand(item);
  expandingQuietly_ = false;
}

void CDriveTree::ScanFinished(scan::CFolderInfo& record, const scan::ScanEnding& ending) {
  document_.Scanner().WhenRecordsFree([this] { context_.commands.Execute(cmd::kRefreshHints); });
  const QPersistentModelIndex expandAll = std::exchange(expandAllItem_, QPersistentModelIndex());
  if (ending.refresh) SelectAfterScan(record, ending);
  if (expandAll.isValid() && expandAll == ItemOf(&record)) ExpandAllRead(expandAll);
}

void CDriveTree::SelectAfterScan(scan::CFolderInfo& record, const scan::ScanEnding& ending) {
  if (ending.travelTarget) {
    const QModelIndex target = FindChildItem(currentIndex(), QString::fromStdString(*ending.travelTarget));
    if (target.isValid()) {
      setCurrentIndex(target);
    } else {
      selectionModel()->clearCurrentIndex();
    }
    return;
  }
  const QModelIndex item = ItemOf(&record);
  model_->fetchMore(item);
  if (item.isValid() && model_->rowCount(item) > 0) {
    ExpandQuietly(item);
    scrollTo(model_->index(0, 0, item));
  }
  const QModelIndex current = currentIndex();
  if (current != lastShownItem_ || !ending.shallow) {
    lastShownItem_ = current;
    ShowFolder(current);
  }
}

void CDriveTree::ClusterAnalysisPending() {
  document_.Scanner().WhenRecordsFree([this] { context_.commands.Execute(cmd::kClusterSizeAnalysis); });
}

// --- commands ----------------------------------------------------------------------

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
  const QString path = PathOfItem(current);
  const QString title = path.size() == 3
                            ? QString::fromUtf8(tree_text::kDriveProperties) + current.data().toString()
                            : QString::fromUtf8(tree_text::kDirectoryProperties) + path;
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
  access.help = [this] { context_.frame.Help().ShowPage(help::kClusterSizePage); };
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
    for (QMenu* popup : context_.frame.MenuPopups()) {
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
  status.ShowIdle();
  status.SetBusy(false);
}

void CDriveTree::ShowDatabaseState(bool newState) {
  context_.state.ShowNewDatabaseState = newState;
  UpdateDriveIcons();
  viewport()->update();
}

}  // namespace ui
