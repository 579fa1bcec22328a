#include "ui/views/drive_tree.h"

#include <vector>

#include "activity/app_state.h"
#include "activity/drive_table.h"
#include "common/prompter.h"
#include "common/status_sink.h"
#include "files/hint_coverage.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "ui/base/window_message.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"
#include "ui/document/drives_document.h"
#include "ui/views/drive_tree_texts.h"
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

// The database fill image of a drive record: 43 to 56, plus 14 once its span has ended.
int FillImage(std::uint32_t fill, bool spanEnded) {
  const int image = tree_image::kFirstFillBar + static_cast<int>((fill * 13 + 7) / 100);
  return spanEnded ? image + tree_image::kFillBarCount : image;
}

}  // namespace

FolderOrder OrderOf(std::uint8_t folderSortKey) {
  return folderSortKey == activity::kFolderSortByAccessCounter ? FolderOrder::ByAccessCount : FolderOrder::ByName;
}

namespace {

char DriveLetter(const scan::CFolderInfo& driveList, std::uint32_t drive) { return driveList.names(drive).front(); }

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
  model_ = new FolderTreeModel(*images_, this);
  model_->SetOrder(OrderOf(context_.state.FolderSortKey));
  setModel(model_);
  connect(this, &QTreeView::expanded, this, &CDriveTree::OnExpanded);
  connect(&document_, &DrivesDocument::folderShown, this, &CDriveTree::FollowDocument);
  connect(&document_, &DrivesDocument::scanStarted, this, [this](scan::CFolderInfo* record) { ScanStarted(*record); });
  connect(&document_, &DrivesDocument::subtreePlaced, this,
          [this](scan::CFolderInfo* record) { SubtreePlaced(*record); });
  connect(&document_, &DrivesDocument::scanFinished, this,
          [this](scan::CFolderInfo* record, const scan::ScanEnding& ending) { ScanFinished(*record, ending); });
  connect(&document_, &DrivesDocument::clusterAnalysisPending, this, &CDriveTree::ClusterAnalysisPending);
  RegisterCommands();
}

CDriveTree::~CDriveTree() { context_.commands.UnregisterAll(Target::Tree); }

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
    scan::CFolderInfo& driveList = document_.DriveList();
    std::vector<char> letters;
    for (std::uint32_t drive = 0; drive < driveList.Count(); ++drive) letters.push_back(DriveLetter(driveList, drive));
    document_.Scanner().StartAutoScan(std::move(letters), [this, &driveList](char letter) -> scan::CFolderInfo* {
      for (std::uint32_t drive = 0; drive < driveList.Count(); ++drive) {
        if (DriveLetter(driveList, drive) != letter) continue;
        setCurrentIndex(model_->index(static_cast<int>(drive), 0));
        return driveList.GetChild(drive);
      }
      return nullptr;
    });
  }
  setWindowTitle(QString::fromUtf8(strings::kFoldersTreeCaption));
  emit startupEnded();
}

void CDriveTree::EnumerateDrives() {
  common::StatusSink& status = context_.status;
  status.SetBusy(true);
  lastShownItem_ = QPersistentModelIndex();
  document_.ReadDrives();
  const scan::CFolderInfo& driveList = document_.DriveList();
  std::vector<FolderTreeModel::DriveLook> looks;
  for (std::uint32_t i = 0; i < driveList.Count(); ++i) {
    const std::string name(driveList.names(i));
    const char letter = name.front();
    status.ShowStatus(std::string(tree_text::kReadingDrive) + name + "'");
    FolderTreeModel::DriveLook look;
    look.text = QString::fromStdString(name);
    if (const auto volume = context_.system.GetVolumeInformation(letter); volume && !volume->label.empty()) {
      look.text += QLatin1Char(' ') + QString::fromStdString(volume->label);
    }
    look.typeImage = tree_image::kFirstDriveType + DriveTypeIndex(context_.system.GetDriveType(letter));
    // How long the recorder recorded the drive: why it has no B or C hints, if so.
    look.toolTip = QString::fromStdString(files::JudgeCoverage(context_.state, letter).Summary());
    looks.push_back(std::move(look));
  }
  model_->ShowDrives(&document_.DriveList(), std::move(looks));
  UpdateDriveIcons();
  status.ShowIdle();
  status.SetBusy(false);
}

void CDriveTree::UpdateDriveIcons() {
  const activity::TableState tableState =
      context_.state.ShowNewDatabaseState ? activity::TableState::New : activity::TableState::Old;
  const activity::DriveTable& table = context_.state.driveTable;
  const std::uint32_t localNow = platform::DosDateTimeFromLocal(context_.system.Now());
  const scan::CFolderInfo& driveList = document_.DriveList();
  for (std::uint32_t drive = 0; drive < driveList.Count(); ++drive) {
    const auto number = static_cast<std::uint8_t>(DriveLetter(driveList, drive) - 64);
    const int row = static_cast<int>(drive);
    const int index = table.Find(number, tableState);
    if (index < 0) {
      model_->SetDriveImages(row, tree_image::kFullyRead, tree_image::kNoDatabaseSelected);
      continue;
    }
    const activity::DriveRecord& record = table.State(tableState).at(static_cast<std::size_t>(index));
    const int image = FillImage(table.FillPercentage(index, tableState), localNow >= record.spanEnd);
    model_->SetDriveImages(row, image, image);
  }
}

void CDriveTree::focusInEvent(QFocusEvent* event) {
  context_.commands.SetActiveView(Target::Tree);
  QTreeView::focusInEvent(event);
}

void CDriveTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  model_->SetCurrent(RecordOf(current));
  if (!current.isValid()) return;
  itemSelectedOnce_ = true;
  if (following_) return;
  const QModelIndex firstChild = model_->index(0, 0, current);
  const bool unread = firstChild.isValid() && RecordOf(firstChild) == nullptr;
  if (document_.Scanner().ShallowScanRunning() && (current == lastShownItem_ || unread)) return;
  lastShownItem_ = unread ? QPersistentModelIndex() : QPersistentModelIndex(current);
  ShowFolder(current);
}

void CDriveTree::ShowFolder(const QModelIndex& item) {
  if (scan::CFolderInfo* folder = RecordOf(item)) document_.ShowFolder(folder);
}

void CDriveTree::FollowDocument(scan::CFolderInfo* folder) {
  if (folder == nullptr || RecordOf(currentIndex()) == folder) return;
  const QModelIndex item = ItemOf(folder);
  if (!item.isValid()) return;
  following_ = true;
  setCurrentIndex(item);
  following_ = false;
  lastShownItem_ = item;
}

QString CDriveTree::PathOfItem(const QModelIndex& item) const {
  const scan::CFolderInfo* record = RecordOf(item);
  return record == nullptr ? QString() : QString::fromStdString(record->path());
}

QModelIndex CDriveTree::FindChildItem(const QModelIndex& item, const QString& name) const {
  model_->fetchMore(item);
  const scan::CFolderInfo* folder = RecordOf(item);
  if (folder == nullptr) return {};
  const std::string wanted = name.toStdString();
  for (std::uint32_t i = 0; i < folder->Count(); ++i) {
    if (folder->IsFolder(i) && folder->names(i) == wanted) return ItemOf(folder->GetChild(i));
  }
  return {};
}

QModelIndex CDriveTree::ItemOf(const scan::CFolderInfo* record) const { return model_->IndexOf(record); }

QModelIndex CDriveTree::DriveItemOf(QModelIndex item) const {
  while (item.parent().isValid()) item = item.parent();
  return item;
}

// --- scanning ----------------------------------------------------------------------

bool CDriveTree::NeedsReading(const QModelIndex& item) const {
  model_->fetchMore(item);
  const int children = model_->rowCount(item);
  for (int row = 0; row < children; ++row) {
    const scan::CFolderInfo* child = RecordOf(model_->index(row, 0, item));
    if (child == nullptr || child->readState == scan::ReadState::NotRead) return true;
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
  StartScan(item, /*shallow=*/true);
}

bool CDriveTree::StartScan(const QModelIndex& item, bool shallow, std::optional<std::string> travelTarget) {
  scan::CFolderInfo* record = RecordOf(item);
  return record != nullptr && document_.Scanner().StartScan(*record, shallow, std::move(travelTarget));
}

void CDriveTree::Rescan() {
  document_.Scanner().Rescan([this] { return RecordOf(currentIndex()); });
}

void CDriveTree::ScanStarted(scan::CFolderInfo& record) {
  const QModelIndex item = ItemOf(&record);
  if (item.isValid()) collapse(item);
  model_->ScanStarted(record);
}

void CDriveTree::SubtreePlaced(scan::CFolderInfo& record) {
  model_->SubtreePlaced(record);
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
    const QModelIndex target = FindChildItem(ItemOf(&record), QString::fromStdString(*ending.travelTarget));
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

}  // namespace ui
