#pragma once
// The folders tree's model, straight over the drives' document: an index's internal
// pointer is the CFolderInfo it shows, a row of the top level is a drive of the drive
// list. The model keeps only what the records do not say: the order of the subfolders of
// each folder the view has opened, the drive items' texts and icons, which folders were
// visited and which are being scanned.
//
// A scanned drive can hold hundreds of thousands of folders: a folder's rows are made
// when it is first opened or looked into (fetchMore, IndexOf), not when a scan places it.
// Nothing here recurses, so a tree of any depth works.
//
// A scan replaces a folder's contents: ScanStarted removes the rows below it (while their
// records still exist) and SubtreePlaced inserts the new ones, so every index the view
// keeps is valid at every step.

#include <QAbstractItemModel>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace scan {
class CFolderInfo;
enum class ReadState : std::uint8_t;
}  // namespace scan

namespace ui {

class TreeImages;

namespace tree_role {
inline constexpr int kStateImage = Qt::UserRole + 2;
inline constexpr int kNormalImage = Qt::UserRole + 3;
inline constexpr int kSelectedImage = Qt::UserRole + 4;
inline constexpr int kUnreadable = Qt::UserRole + 6;  // the record's mark
}  // namespace tree_role

// How the subfolders of a folder are ordered.
enum class FolderOrder : std::uint8_t { ByName, ByAccessCount };

class FolderTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // What a drive item shows besides its record.
  struct DriveLook {
    QString text;
    QString toolTip;
    int typeImage = 0;
  };

  FolderTreeModel(const TreeImages& images, QObject* parent);

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  // Shows the drives of `driveList` (one look per entry), each with a "Dummy" row until
  // its first scan starts. Every earlier index goes.
  void ShowDrives(scan::CFolderInfo* driveList, std::vector<DriveLook> looks);
  // The record an index shows; nullptr for the "Dummy" row and the invalid index.
  static scan::CFolderInfo* RecordOf(const QModelIndex& index);
  // The index showing `record`, making the rows above it if they are not made yet;
  // invalid for a record the tree does not show.
  QModelIndex IndexOf(const scan::CFolderInfo* record);
  void SetDriveImages(int row, int normal, int selected);
  // The current folder draws its selected images; the one it replaces counts as visited.
  void SetCurrent(const scan::CFolderInfo* record);
  void SetOrder(FolderOrder order);
  FolderOrder Order() const { return order_; }

  // The document's scan events.
  void ScanStarted(scan::CFolderInfo& record);
  void SubtreePlaced(scan::CFolderInfo& record);

  // The images of a folder for what the last scan did with it.
  static int NormalImageFor(scan::ReadState state);
  static int SelectedImageFor(scan::ReadState state);

 private:
  // The subfolders of an opened folder in display order, and each one's row by entry.
  struct Rows {
    std::vector<std::uint32_t> entries;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> rowByEntry;  // sorted by entry
  };
  struct DriveItem {
    DriveLook look;
    int normal = 0;
    int selected = 0;
    bool placeholder = true;
  };

  bool IsDrive(const scan::CFolderInfo& record) const;
  int RowOf(const scan::CFolderInfo& record) const;
  QModelIndex IndexFor(const scan::CFolderInfo& record) const;
  Rows SortedRows(const scan::CFolderInfo& folder) const;
  void Open(const QModelIndex& index, const scan::CFolderInfo& folder);
  // Forgets what is kept of the folders below `record`, without recursion.
  void ForgetBelow(const scan::CFolderInfo& record);
  int StateImage(const scan::CFolderInfo& record) const;
  std::pair<int, int> Images(const scan::CFolderInfo& record) const;
  QVariant Decoration(const QModelIndex& index) const;

  const TreeImages& images_;
  scan::CFolderInfo* driveList_ = nullptr;
  std::vector<DriveItem> drives_;
  std::unordered_map<const scan::CFolderInfo*, Rows> opened_;
  std::unordered_set<const scan::CFolderInfo*> scanning_;
  std::unordered_set<const scan::CFolderInfo*> visited_;
  const scan::CFolderInfo* current_ = nullptr;
  FolderOrder order_ = FolderOrder::ByName;
  mutable QHash<int, QPixmap> decorations_;
};

}  // namespace ui
