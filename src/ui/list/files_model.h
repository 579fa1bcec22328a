#pragma once
// The Files list's model: one snapshot row per entry of the shown folder, taken at fill,
// so painting never reads records that a worker may be changing. Sorting orders the
// rows' positions, never the rows.

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <cstdint>
#include <vector>

#include "files/list_format.h"
#include "ui/list/file_icons.h"

namespace ui {

class FilesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit FilesModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Fill(files::ListRows rows);
  void Clear() { Fill({}); }
  // `reversed` turns the key's own order around (folders stay first).
  void Sort(std::uint8_t sortKey, bool reversed = false);
  const files::ListRow& Row(int row) const { return rows_[order_[static_cast<std::size_t>(row)]]; }
  // The row that shows the entry, -1 when none does.
  int RowOfEntry(std::uint32_t entry) const;
  // Re-reads action, state and hint of every row from `folder` and repaints columns
  // "A", "S" and "H"; the order stays.
  void RefreshCodes(const scan::CFolderInfo& folder);

 private:
  QPixmap Decoration(const files::ListRow& row) const;

  files::ListRows rows_;                  // as filled
  std::vector<std::uint32_t> order_;      // the shown row's place in rows_
  mutable FileIcons icons_;
  mutable QHash<quint64, QPixmap> decorations_;
};

}  // namespace ui
