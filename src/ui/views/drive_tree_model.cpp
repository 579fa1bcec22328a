#include "ui/views/drive_tree_model.h"

#include <QPainter>

#include <algorithm>
#include <string>
#include <vector>

#include "scan/folder_info.h"
#include "ui/views/tree_images.h"

namespace ui {

DriveTreeModel::DriveTreeModel(const TreeImages& images, QObject* parent)
    : QStandardItemModel(parent), images_(images) {}

QStandardItem* DriveTreeModel::NewItem(const QString& text, scan::CFolderInfo* record, int stateImage) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  item->setData(QVariant::fromValue(reinterpret_cast<quintptr>(record)), tree_role::kRecord);
  item->setData(stateImage, tree_role::kStateImage);
  item->setData(tree_image::kNotRead, tree_role::kNormalImage);
  item->setData(tree_image::kNotRead, tree_role::kSelectedImage);
  if (record != nullptr) byRecord_.insert(record, item);
  return item;
}

bool DriveTreeModel::hasChildren(const QModelIndex& parent) const {
  return canFetchMore(parent) || QStandardItemModel::hasChildren(parent);
}

bool DriveTreeModel::canFetchMore(const QModelIndex& parent) const {
  return parent.isValid() && QStandardItemModel::data(parent, tree_role::kChildrenPending).toBool();
}

void DriveTreeModel::fetchMore(const QModelIndex& parent) {
  if (QStandardItem* item = itemFromIndex(parent)) MakeChildItems(*item);
}

void DriveTreeModel::MakeChildItems(QStandardItem& item) {
  if (!item.data(tree_role::kChildrenPending).toBool()) return;
  item.setData(false, tree_role::kChildrenPending);
  if (scan::CFolderInfo* record = RecordOf(item)) AddFolderItems(item, *record);
}

namespace {

bool HasSubfolderRecords(const scan::CFolderInfo& record) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (record.IsFolder(i) && record.GetChild(i) != nullptr) return true;
  }
  return false;
}

}  // namespace

int DriveTreeModel::NormalImageFor(scan::ReadState state) {
  return state == scan::ReadState::ReadFully ? tree_image::kFullyRead : tree_image::kNotRead;
}

int DriveTreeModel::SelectedImageFor(scan::ReadState state) {
  switch (state) {
    case scan::ReadState::ReadFully: return tree_image::kFullyRead;
    case scan::ReadState::ReadPartly: return tree_image::kPartlyReadSelected;
    case scan::ReadState::NotRead: break;
  }
  return tree_image::kNotRead;
}

void DriveTreeModel::AddFolderItems(QStandardItem& parent, scan::CFolderInfo& record) {
  struct Child {
    QString name;
    scan::CFolderInfo* record;
  };
  std::vector<Child> children;
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (!record.IsFolder(i)) continue;
    if (scan::CFolderInfo* child = record.GetChild(i)) {
      children.push_back({QString::fromStdString(std::string(record.names(i))), child});
    }
  }
  // Folders appear sorted by name, as a sorted insertion would place them.
  std::stable_sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
    return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
  });
  QList<QStandardItem*> rows;
  rows.reserve(static_cast<qsizetype>(children.size()));
  for (const Child& child : children) {
    QStandardItem* item = NewItem(child.name, child.record, tree_image::kFolderInserted);
    item->setData(NormalImageFor(child.record->readState), tree_role::kNormalImage);
    item->setData(SelectedImageFor(child.record->readState), tree_role::kSelectedImage);
    if (child.record->readState != scan::ReadState::NotRead && HasSubfolderRecords(*child.record)) {
      item->setData(true, tree_role::kChildrenPending);
    }
    rows.push_back(item);
  }
  for (QStandardItem* row : rows) parent.appendRow(row);
}

QStandardItem* DriveTreeModel::ItemOf(const scan::CFolderInfo* record) {
  if (record == nullptr) return nullptr;
  std::vector<const scan::CFolderInfo*> unmade;
  QStandardItem* item = byRecord_.value(record);
  for (const scan::CFolderInfo* r = record; item == nullptr; item = byRecord_.value(r)) {
    unmade.push_back(r);
    r = r->Parent();
    if (r == nullptr) return nullptr;
  }
  // Down from the nearest item that is made, making each level's items on the way.
  for (auto r = unmade.rbegin(); r != unmade.rend(); ++r) {
    MakeChildItems(*item);
    item = byRecord_.value(*r);
    if (item == nullptr) return nullptr;
  }
  return item;
}

scan::CFolderInfo* DriveTreeModel::RecordOf(const QStandardItem& item) {
  return reinterpret_cast<scan::CFolderInfo*>(item.data(tree_role::kRecord).value<quintptr>());
}

void DriveTreeModel::ForgetDescendants(const QStandardItem& item) {
  for (int row = 0; row < item.rowCount(); ++row) {
    const QStandardItem* child = item.child(row);
    ForgetDescendants(*child);
    byRecord_.remove(RecordOf(*child));
  }
}

QVariant DriveTreeModel::data(const QModelIndex& index, int role) const {
  if (role == tree_role::kUnreadable) {
    const QStandardItem* item = itemFromIndex(index);
    const scan::CFolderInfo* record = item == nullptr ? nullptr : RecordOf(*item);
    return record != nullptr && record->unreadable;
  }
  if (role != Qt::DecorationRole) return QStandardItemModel::data(index, role);
  const bool unreadable = data(index, tree_role::kUnreadable).toBool();
  const int state = QStandardItemModel::data(index, tree_role::kStateImage).toInt();
  const bool current = QStandardItemModel::data(index, tree_role::kIsCurrent).toBool();
  const int normal =
      QStandardItemModel::data(index, current ? tree_role::kSelectedImage : tree_role::kNormalImage).toInt();
  if (state < 0 || state >= images_.StateCount() || normal < 0 || normal >= images_.NormalCount()) {
    return {};
  }
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
