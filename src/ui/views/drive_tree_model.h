#pragma once
// The items of the folders tree: text, the record shown (not owned), the state image and
// the normal and selected images. The decoration is the state image beside the normal
// image (the selected one for the current item), drawn from the tree's image lists, with
// a "no entry" sign over the state image of a folder the last scan could not read.

#include <QHash>
#include <QPixmap>
#include <QStandardItemModel>

namespace scan { class CFolderInfo; }

namespace ui {

class TreeImages;

namespace tree_role {
inline constexpr int kRecord = Qt::UserRole + 1;
inline constexpr int kStateImage = Qt::UserRole + 2;
inline constexpr int kNormalImage = Qt::UserRole + 3;
inline constexpr int kSelectedImage = Qt::UserRole + 4;
inline constexpr int kIsCurrent = Qt::UserRole + 5;
inline constexpr int kUnreadable = Qt::UserRole + 6;  // read only: the record's mark
}  // namespace tree_role

class DriveTreeModel : public QStandardItemModel {
  Q_OBJECT

 public:
  DriveTreeModel(const TreeImages& images, QObject* parent);

  QVariant data(const QModelIndex& index, int role) const override;

  // An item showing `record` (nullptr: the "Dummy" placeholder).
  QStandardItem* NewItem(const QString& text, scan::CFolderInfo* record, int stateImage);
  static scan::CFolderInfo* RecordOf(const QStandardItem& item);
  QStandardItem* ItemOf(const scan::CFolderInfo* record) const { return byRecord_.value(record); }
  // Forgets the records of `item`'s descendants before they are removed.
  void ForgetDescendants(const QStandardItem& item);
  void ForgetAll() { byRecord_.clear(); }

 private:
  const TreeImages& images_;
  QHash<const scan::CFolderInfo*, QStandardItem*> byRecord_;
  mutable QHash<int, QPixmap> decorations_;
};

}  // namespace ui
