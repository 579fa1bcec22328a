#pragma once
// The Files list's model: one snapshot row per entry of the shown folder, taken at fill,
// so painting never reads records that a worker may be changing.

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

  void Fill(std::vector<files::ListRow> rows);
  void Clear() { Fill({}); }
  // `reversed` turns the key's own order around (folders stay first).
  void Sort(std::uint8_t sortKey, bool reversed = false);
  const std::vector<files::ListRow>& Rows() const { return rows_; }
  const files::ListRow& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  // Re-reads action, state and hint of every row from `folder` and repaints columns
  // "A", "S" and "H"; the order stays.
  void RefreshCodes(const scan::CFolderInfo& folder);

 private:
  QPixmap Decoration(const files::ListRow& row) const;

  std::vector<files::ListRow> rows_;
  mutable FileIcons icons_;
  mutable QHash<quint64, QPixmap> decorations_;
};

}  // namespace ui
