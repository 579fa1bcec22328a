#pragma once
// The items of the folders tree: text, the record shown (not owned), the state image and
// the normal and selected images. The decoration is the state image beside the normal
// image (the selected one for the current item), drawn from the tree's image lists, with
// a "no entry" sign over the state image of a folder the last scan could not read.
//
// A scanned drive can hold hundreds of thousands of folders, and an item costs several
// hundred bytes: a read folder's subfolder items are made when it is first expanded or
// looked into (fetchMore, ItemOf), not when the scan places it.

#include <QHash>
#include <QPixmap>
#include <QStandardItemModel>

#include <cstdint>

namespace scan {
class CFolderInfo;
enum class ReadState : std::uint8_t;
}  // namespace scan

namespace ui {

class TreeImages;

namespace tree_role {
inline constexpr int kRecord = Qt::UserRole + 1;
inline constexpr int kStateImage = Qt::UserRole + 2;
inline constexpr int kNormalImage = Qt::UserRole + 3;
inline constexpr int kSelectedImage = Qt::UserRole + 4;
inline constexpr int kIsCurrent = Qt::UserRole + 5;
inline constexpr int kUnreadable = Qt::UserRole + 6;  // read only: the record's mark
inline constexpr int kChildrenPending = Qt::UserRole + 7;  // subfolder items not made yet
}  // namespace tree_role

class DriveTreeModel : public QStandardItemModel {
  Q_OBJECT

 public:
  DriveTreeModel(const TreeImages& images, QObject* parent);

  QVariant data(const QModelIndex& index, int role) const override;

  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  // An item showing `record` (nullptr: the "Dummy" placeholder).
  QStandardItem* NewItem(const QString& text, scan::CFolderInfo* record, int stateImage);
  static scan::CFolderInfo* RecordOf(const QStandardItem& item);
  // The item showing `record`, made (with the items above it) if it is not made yet;
  // nullptr for a record the tree does not show.
  QStandardItem* ItemOf(const scan::CFolderInfo* record);
  // Gives `parent` the items of `record`'s subfolders, sorted by name; those of a read
  // subfolder with subfolders of its own wait until they are wanted.
  void AddFolderItems(QStandardItem& parent, scan::CFolderInfo& record);
  // The images of a folder item for what the last scan did with its folder.
  static int NormalImageFor(scan::ReadState state);
  static int SelectedImageFor(scan::ReadState state);
  // Forgets the records of `item`'s descendants before they are removed.
  void ForgetDescendants(const QStandardItem& item);
  void ForgetAll() { byRecord_.clear(); }

 private:
  // Makes `item`'s subfolder items if they are still waiting.
  void MakeChildItems(QStandardItem& item);

  const TreeImages& images_;
  QHash<const scan::CFolderInfo*, QStandardItem*> byRecord_;
  mutable QHash<int, QPixmap> decorations_;
};

}  // namespace ui
