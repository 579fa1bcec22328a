#pragma once
// CDriveTree: the left pane, the folders tree of the machine's drives and their folders,
// a view of the drives' document. Its model points straight into the document's records;
// the tree follows the document's current folder and makes the folder the user selects
// current. It registers the tree's commands, starts the scans they ask for and shows its
// menus.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <memory>
#include <optional>
#include <string>

#include "scan/folder_info.h"
#include "scan/scan_job.h"
#include "ui/analysis/cluster_commands.h"
#include "ui/base/shell_context.h"
#include "ui/views/folder_tree_model.h"

namespace ui {

class DrivesDocument;
class TreeImages;

// The order FolderSortKey asks for.
FolderOrder OrderOf(std::uint8_t folderSortKey);

class CDriveTree : public QTreeView {
  Q_OBJECT

 public:
  // `document` outlives the tree.
  CDriveTree(ShellContext& context, DrivesDocument& document, QWidget* parent);
  ~CDriveTree() override;

  // Once an item has been selected the tree's commands stay enabled for the run.
  bool ItemSelectedOnce() const { return itemSelectedOnce_; }

  // Orders every folder's subfolders by FolderSortKey: by name, or the most used first.
  void SortFolders();
  // Which state of the activity databases the drive icons show (new = the edited one).
  void ShowDatabaseState(bool newState);

  const TreeImages& Images() const { return *images_; }
  // The path of the folder an item shows ("C:\Work\"); empty for the "Dummy" item.
  QString PathOfItem(const QModelIndex& item) const;
  // The subfolder item of `item` whose folder is called `name`; invalid when none.
  QModelIndex FindChildItem(const QModelIndex& item, const QString& name) const;
  // The item showing `record`, made if need be; invalid when the tree does not show it.
  QModelIndex ItemOf(const scan::CFolderInfo* record) const;
  // The record an item shows; nullptr for the "Dummy" placeholder.
  scan::CFolderInfo* RecordOf(const QModelIndex& item) const {
    return item.model() == model_ ? FolderTreeModel::RecordOf(item) : nullptr;
  }
  QModelIndex CurrentItem() const { return currentIndex(); }
  void UpdateDriveIcons();
  // Starts scanning `item`, two levels deep when `shallow`, selecting its subfolder
  // `travelTarget` at the end (callers check ScanInProgress first). False when refused.
  bool StartScan(const QModelIndex& item, bool shallow = false, std::optional<std::string> travelTarget = {});
  // Has the document read the drives again and rebuilds their items.
  void EnumerateDrives();
  // What the cluster size and properties commands need of the tree.
  TreeCommandAccess CommandAccess();

 signals:
  // The pane's start-up step has ended: the window may appear.
  void startupEnded();

 protected:
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // UM_STARTUP: the pane's start-up step; the frame appears at its end.
  void StartupStep();
  void RegisterCommands();
  void RegisterScanCommands();
  void OnExpanded(const QModelIndex& item);
  bool NeedsReading(const QModelIndex& item) const;
  // Makes the document's current folder the current item.
  void FollowDocument(scan::CFolderInfo* folder);
  void ShowFolder(const QModelIndex& item);
  void Rescan();
  void CollapseAll();
  void ExpandAll();
  void ExpandAllRead(const QModelIndex& top);
  void SelectAfterScan(scan::CFolderInfo& record, const scan::ScanEnding& ending);
  void UpOneLevel();
  void Properties();
  void ExpandQuietly(const QModelIndex& item);
  QModelIndex DriveItemOf(QModelIndex item) const;

  // The document's scan events (UI thread).
  void ScanStarted(scan::CFolderInfo& record);
  void SubtreePlaced(scan::CFolderInfo& record);
  void ScanFinished(scan::CFolderInfo& record, const scan::ScanEnding& ending);
  void ClusterAnalysisPending();

  ShellContext& context_;
  DrivesDocument& document_;
  std::unique_ptr<TreeImages> images_;
  FolderTreeModel* model_ = nullptr;
  QPersistentModelIndex lastShownItem_;
  QPersistentModelIndex expandAllItem_;  // expanded whole once its scan has ended
  bool itemSelectedOnce_ = false;
  bool expandingQuietly_ = false;
  bool following_ = false;
};

}  // namespace ui
