#include "ui/views/folder_tree_model.h"

#include <QPainter>

#include <algorithm>

#include "files/list_format.h"
#include "scan/folder_info.h"
#include "ui/views/drive_tree_texts.h"
#include "ui/views/tree_images.h"

namespace ui {
namespace {

// The "Dummy" row of a drive never read points at its drive's record, marked: records
// are aligned, so the lowest bit of their address is free.
constexpr quintptr kPlaceholderMark = 1;

bool IsPlaceholder(const QModelIndex& index) { return (index.internalId() & kPlaceholderMark) != 0; }

scan::CFolderInfo* Unmarked(const QModelIndex& index) {
  return reinterpret_cast<scan::CFolderInfo*>(index.internalId() & ~kPlaceholderMark);
}

bool HasSubfolderRecords(const scan::CFolderInfo& record) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (record.IsFolder(i) && record.GetChild(i) != nullptr) return true;
  }
  return false;
}

QString NameOf(const scan::CFolderInfo& folder, std::uint32_t entry) {
  const std::string_view name = folder.names(entry);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

FolderTreeModel::FolderTreeModel(const TreeImages& images, QObject* parent)
    : QAbstractItemModel(parent), images_(images) {}

void FolderTreeModel::ShowDrives(scan::CFolderInfo* driveList, std::vector<DriveLook> looks) {
  beginResetModel();
  driveList_ = driveList;
  drives_.clear();
  for (DriveLook& look : looks) drives_.push_back(DriveItem{.look = std::move(look)});
  opened_.clear();
  scanning_.clear();
  visited_.clear();
  current_ = nullptr;
  endResetModel();
}

scan::CFolderInfo* FolderTreeModel::RecordOf(const QModelIndex& index) {
  if (!index.isValid() || IsPlaceholder(index)) return nullptr;
  return static_cast<scan::CFolderInfo*>(index.internalPointer());
}

bool FolderTreeModel::IsDrive(const scan::CFolderInfo& record) const {
  return driveList_ != nullptr && record.Parent() == driveList_;
}

int FolderTreeModel::RowOf(const scan::CFolderInfo& record) const {
  if (IsDrive(record)) return static_cast<int>(record.IndexInParent());
  const auto rows = opened_.find(record.Parent());
  if (rows == opened_.end()) return -1;
  const auto& byEntry = rows->second.rowByEntry;
  const auto found = std::lower_bound(byEntry.begin(), byEntry.end(),
                                      std::make_pair(record.IndexInParent(), std::uint32_t{0}));
  if (found == byEntry.end() || found->first != record.IndexInParent()) return -1;
  return static_cast<int>(found->second);
}

QModelIndex FolderTreeModel::IndexFor(const scan::CFolderInfo& record) const {
  const int row = RowOf(record);
  return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<scan::CFolderInfo*>(&record));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0 || row >= rowCount(parent)) return {};
  if (!parent.isValid()) return createIndex(row, 0, driveList_->GetChild(static_cast<std::uint32_t>(row)));
  scan::CFolderInfo* folder = RecordOf(parent);
  if (IsDrive(*folder) && drives_[folder->IndexInParent()].placeholder) {
    return createIndex(row, 0, reinterpret_cast<quintptr>(folder) | kPlaceholderMark);
  }
  const Rows& rows = opened_.at(folder);
  return createIndex(row, 0, folder->GetChild(rows.entries[static_cast<std::size_t>(row)]));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  if (IsPlaceholder(child)) return IndexFor(*Unmarked(child));
  const scan::CFolderInfo* record = RecordOf(child);
  if (record == nullptr || IsDrive(*record) || record->Parent() == nullptr) return {};
  return IndexFor(*record->Parent());
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return driveList_ == nullptr ? 0 : static_cast<int>(driveList_->Count());
  const scan::CFolderInfo* folder = RecordOf(parent);
  if (folder == nullptr || scanning_.contains(folder)) return 0;
  if (IsDrive(*folder) && drives_[folder->IndexInParent()].placeholder) return 1;
  const auto rows = opened_.find(folder);
  return rows == opened_.end() ? 0 : static_cast<int>(rows->second.entries.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0 || canFetchMore(parent);
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
  const scan::CFolderInfo* folder = RecordOf(parent);
  if (folder == nullptr || scanning_.contains(folder) || opened_.contains(folder)) return false;
  if (IsDrive(*folder) && drives_[folder->IndexInParent()].placeholder) return false;
  return folder->readState != scan::ReadState::NotRead && HasSubfolderRecords(*folder);
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
  if (canFetchMore(parent)) Open(parent, *RecordOf(parent));
}

FolderTreeModel::Rows FolderTreeModel::SortedRows(const scan::CFolderInfo& folder) const {
  struct Key {
    std::string_view name;
    std::uint32_t accesses;
    std::uint32_t entry;
  };
  std::vector<Key> keys;
  for (std::uint32_t i = 0; i < folder.Count(); ++i) {
    if (!folder.IsFolder(i) || folder.GetChild(i) == nullptr) continue;
    keys.push_back({folder.names(i), folder.AccessCount(i), i});
  }
  // The Files list's order, so that a folder stands in the same place in both panes.
  const auto byName = [](const Key& a, const Key& b) { return files::CompareNames(a.name, b.name) < 0; };
  if (order_ == FolderOrder::ByAccessCount) {
    // The most used first; folders used alike stay in name order.
    std::stable_sort(keys.begin(), keys.end(), [&byName](const Key& a, const Key& b) {
      return a.accesses != b.accesses ? a.accesses > b.accesses : byName(a, b);
    });
  } else {
    std::stable_sort(keys.begin(), keys.end(), byName);
  }
  Rows rows;
  rows.entries.reserve(keys.size());
  rows.rowByEntry.reserve(keys.size());
  for (std::size_t row = 0; row < keys.size(); ++row) {
    rows.entries.push_back(keys[row].entry);
    rows.rowByEntry.emplace_back(keys[row].entry, static_cast<std::uint32_t>(row));
  }
  std::sort(rows.rowByEntry.begin(), rows.rowByEntry.end());
  return rows;
}

void FolderTreeModel::Open(const QModelIndex& index, const scan::CFolderInfo& folder) {
  Rows rows = SortedRows(folder);
  if (rows.entries.empty()) {
    opened_.emplace(&folder, std::move(rows));
    return;
  }
  beginInsertRows(index, 0, static_cast<int>(rows.entries.size()) - 1);
  opened_.emplace(&folder, std::move(rows));
  endInsertRows();
}

QModelIndex FolderTreeModel::IndexOf(const scan::CFolderInfo* record) {
  if (record == nullptr || driveList_ == nullptr) return {};
  std::vector<const scan::CFolderInfo*> chain;
  for (const scan::CFolderInfo* r = record; r != driveList_; r = r->Parent()) {
    if (r == nullptr) return {};
    chain.push_back(r);
  }
  // Down from the drive, opening each folder on the way.
  QModelIndex index = IndexFor(*chain.back());
  for (auto r = chain.rbegin() + 1; r != chain.rend() && index.isValid(); ++r) {
    fetchMore(index);
    index = IndexFor(**r);
  }
  return index;
}

void FolderTreeModel::ForgetBelow(const scan::CFolderInfo& record) {
  std::vector<const scan::CFolderInfo*> pending{&record};
  while (!pending.empty()) {
    const scan::CFolderInfo* folder = pending.back();
    pending.pop_back();
    const auto rows = opened_.find(folder);
    if (rows == opened_.end()) continue;
    for (const std::uint32_t entry : rows->second.entries) {
      const scan::CFolderInfo* child = folder->GetChild(entry);
      visited_.erase(child);
      if (child == current_) current_ = nullptr;
      pending.push_back(child);
    }
    opened_.erase(rows);
  }
}

void FolderTreeModel::ScanStarted(scan::CFolderInfo& record) {
  // Shown or not, the folder shows no rows until its new contents are placed: its old
  // records go then, before the model hears of it.
  const QModelIndex index = IndexFor(record);
  const int rows = index.isValid() ? rowCount(index) : 0;
  if (rows > 0) beginRemoveRows(index, 0, rows - 1);
  ForgetBelow(record);
  if (IsDrive(record)) drives_[record.IndexInParent()].placeholder = false;
  scanning_.insert(&record);
  if (rows > 0) endRemoveRows();
  if (index.isValid()) emit dataChanged(index, index);
}

void FolderTreeModel::SubtreePlaced(scan::CFolderInfo& record) {
  scanning_.erase(&record);
  const QModelIndex index = IndexOf(&record);
  if (!index.isValid()) return;
  // Whatever was shown below it went when its scan started.
  ForgetBelow(record);
  Open(index, record);
  emit dataChanged(index, index);
}

void FolderTreeModel::SetDriveImages(int row, int normal, int selected) {
  DriveItem& drive = drives_.at(static_cast<std::size_t>(row));
  if (drive.normal == normal && drive.selected == selected) return;
  drive.normal = normal;
  drive.selected = selected;
  const QModelIndex changed = index(row, 0);
  emit dataChanged(changed, changed);
}

void FolderTreeModel::SetCurrent(const scan::CFolderInfo* record) {
  if (record == current_) return;
  const scan::CFolderInfo* previous = std::exchange(current_, record);
  if (previous != nullptr) {
    visited_.insert(previous);
    const QModelIndex left = IndexFor(*previous);
    if (left.isValid()) emit dataChanged(left, left);
  }
  if (record != nullptr) {
    const QModelIndex now = IndexFor(*record);
    if (now.isValid()) emit dataChanged(now, now);
  }
}

void FolderTreeModel::SetOrder(FolderOrder order) {
  if (order == order_) return;
  order_ = order;
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  for (auto& [folder, rows] : opened_) rows = SortedRows(*folder);
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) {
    if (IsPlaceholder(index)) {
      after.push_back(index);
    } else {
      after.push_back(IndexFor(*RecordOf(index)));
    }
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

int FolderTreeModel::NormalImageFor(scan::ReadState state) {
  return state == scan::ReadState::ReadFully ? tree_image::kFullyRead : tree_image::kNotRead;
}

int FolderTreeModel::SelectedImageFor(scan::ReadState state) {
  switch (state) {
    case scan::ReadState::ReadFully: return tree_image::kFullyRead;
    case scan::ReadState::ReadPartly: return tree_image::kPartlyReadSelected;
    case scan::ReadState::NotRead: break;
  }
  return tree_image::kNotRead;
}

int FolderTreeModel::StateImage(const scan::CFolderInfo& record) const {
  if (IsDrive(record)) return drives_[record.IndexInParent()].look.typeImage;
  const int visiting = visited_.contains(&record) ? tree_image::kFolderLeft : tree_image::kFolderInserted;
  return &record == current_ ? visiting + 1 : visiting;
}

std::pair<int, int> FolderTreeModel::Images(const scan::CFolderInfo& record) const {
  if (IsDrive(record)) {
    const DriveItem& drive = drives_[record.IndexInParent()];
    return {drive.normal, drive.selected};
  }
  if (scanning_.contains(&record)) return {tree_image::kNotRead, tree_image::kNotRead};
  return {NormalImageFor(record.readState), SelectedImageFor(record.readState)};
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const scan::CFolderInfo* record = RecordOf(index);
  if (record == nullptr) {  // the "Dummy" row
    if (role == Qt::DisplayRole) return QString::fromUtf8(tree_text::kDummy);
    return role == Qt::DecorationRole ? Decoration(index) : QVariant();
  }
  switch (role) {
    case Qt::DisplayRole:
      if (IsDrive(*record)) return drives_[record->IndexInParent()].look.text;
      return NameOf(*record->Parent(), record->IndexInParent());
    case Qt::ToolTipRole:
      return IsDrive(*record) ? QVariant(drives_[record->IndexInParent()].look.toolTip) : QVariant();
    case Qt::DecorationRole: return Decoration(index);
    case tree_role::kStateImage: return StateImage(*record);
    case tree_role::kNormalImage: return Images(*record).first;
    case tree_role::kSelectedImage: return Images(*record).second;
    case tree_role::kUnreadable: return record->unreadable;
    default: return {};
  }
}

QVariant FolderTreeModel::Decoration(const QModelIndex& index) const {
  const scan::CFolderInfo* record = RecordOf(index);
  const bool unreadable = record != nullptr && record->unreadable;
  const int state = record == nullptr ? 0 : StateImage(*record);
  const auto [normalImage, selectedImage] =
      record == nullptr ? std::pair(tree_image::kNotRead, tree_image::kNotRead) : Images(*record);
  const int normal = record != nullptr && record == current_ ? selectedImage : normalImage;
  if (state < 0 || state >= images_.StateCount() || normal < 0 || normal >= images_.NormalCount()) return {};
  const int key = (state * 256 + normal) * 2 + (unreadable ? 1 : 0);
  auto found = decorations_.find(key);
  if (found == decorations_.end()) {
    QPixmap both(32, 16);
    both.fill(Qt::transparent);
    QPainter painter(&both);
    painter.drawPixmap(0, 0, images_.State(state));
    painter.drawPixmap(16, 0, images_.Normal(normal));
    if (unreadable) painter.drawPixmap(0, 0, images_.UnreadableOverlay());
    painter.end();
    found = decorations_.insert(key, both);
  }
  return *found;
}

}  // namespace ui
