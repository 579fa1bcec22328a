#include "ui/list/files_model.h"

#include <QPainter>
#include <numeric>

#include "ui/list/state_images.h"

namespace ui {

FilesModel::FilesModel(QObject* parent) : QAbstractTableModel(parent) {}

int FilesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FilesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : files::kColumnCount;
}

namespace {

Qt::Alignment AlignmentOf(int column) {
  switch (files::kColumns[static_cast<std::size_t>(column)].align) {
    case files::ColumnSpec::Align::Left: return Qt::AlignLeft | Qt::AlignVCenter;
    case files::ColumnSpec::Align::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
    case files::ColumnSpec::Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

// The state gauge and the type icon side by side, as the list shows them before a name.
// Few distinct pairs exist, so each is drawn once.
QPixmap FilesModel::Decoration(const files::ListRow& row) const {
  const QString name = QString::fromUtf8(row.nameData, row.nameSize);
  const QIcon icon = icons_.For(name, row.IsFolder());
  const quint64 key = (static_cast<quint64>(icon.cacheKey()) << 4) | row.activityLevel;
  if (auto found = decorations_.constFind(key); found != decorations_.constEnd()) return *found;
  QPixmap pair(34, 16);
  pair.fill(Qt::transparent);
  QPainter painter(&pair);
  painter.drawPixmap(0, 0, ActivityImage(row.activityLevel));
  painter.drawPixmap(18, 0, icon.pixmap(16, 16));
  painter.end();
  decorations_.insert(key, pair);
  return pair;
}

QVariant FilesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const files::ListRow& row = Row(index.row());
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(files::CellText(row, index.column()));
    case Qt::TextAlignmentRole: return QVariant::fromValue(AlignmentOf(index.column()));
    case Qt::DecorationRole:
      if (index.column() == activity::kSortName) return Decoration(row);
      return {};
    case Qt::ToolTipRole:
      // A file whose counters are not its own: why it shows no B or C.
      if (row.recordDoubt == files::RecordDoubt::None) return {};
      return QStringLiteral("No hint from idleness: %1").arg(QString::fromUtf8(files::RecordDoubtText(row.recordDoubt)));
    case Qt::UserRole: return row.index;
    default: return {};
  }
}

QVariant FilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= files::kColumnCount) return {};
  if (role == Qt::DisplayRole) return QString::fromUtf8(files::kColumns[static_cast<std::size_t>(section)].title);
  // A one-letter header says what it stands for when pointed at.
  if (role == Qt::ToolTipRole) {
    switch (section) {
      case activity::kSortAction: return QStringLiteral("Action selected");
      case activity::kSortState: return QStringLiteral("State: compressed or backed up");
      case activity::kSortHint: return QStringLiteral("Hint");
      case activity::kSortLastOperation: return QStringLiteral("Last operation");
      default: return {};
    }
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(AlignmentOf(section));
  return {};
}

void FilesModel::Fill(files::ListRows rows) {
  beginResetModel();
  rows_ = std::move(rows);
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), 0u);
  endResetModel();
}

int FilesModel::RowOfEntry(std::uint32_t entry) const {
  for (std::size_t row = 0; row < order_.size(); ++row) {
    if (rows_[order_[row]].index == entry) return static_cast<int>(row);
  }
  return -1;
}

void FilesModel::Sort(std::uint8_t sortKey, bool reversed) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<std::uint32_t> entryOf;
  entryOf.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex& index : before) entryOf.push_back(Row(index.row()).index);
  order_ = files::SortedOrder(rows_.rows(), sortKey, reversed);
  if (!before.isEmpty()) {
    std::vector<int> rowOfEntry(rows_.size());
    for (std::size_t r = 0; r < order_.size(); ++r) {
      const std::uint32_t entry = rows_[order_[r]].index;
      if (entry < rowOfEntry.size()) rowOfEntry[entry] = static_cast<int>(r);
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
      const std::uint32_t entry = entryOf[static_cast<std::size_t>(k)];
      after.push_back(entry < rowOfEntry.size() ? index(rowOfEntry[entry], before[k].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FilesModel::RefreshCodes(const scan::CFolderInfo& folder) {
  for (files::ListRow& row : rows_.rows()) files::RefreshCodes(row, folder);
  if (!rows_.empty()) {
    emit dataChanged(index(0, activity::kSortAction), index(rowCount() - 1, activity::kSortHint), {Qt::DisplayRole});
  }
}

}  // namespace ui
