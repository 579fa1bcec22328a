#include "ui/views/drive_tree_model.h"

#include <QPainter>

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
