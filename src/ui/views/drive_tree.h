#pragma once
// CDriveTree: the left pane, the folders tree of the machine's drives and their folders,
// a view of the drives' document. Its items only point into the document's records; it
// registers the tree's commands, starts the scans they ask for and shows its menus.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <memory>
#include <optional>
#include <string>

#include "scan/folder_info.h"
#include "scan/scan_job.h"
#include "ui/analysis/cluster_commands.h"
#include "ui/app/shell_context.h"

class QStandardItem;
class QStandardItemModel;

namespace ui {

class DriveTreeModel;
class DrivesDocument;
class TreeImages;

class CDriveTree : public QTreeView {
  Q_OBJECT

 public:
  // `document` outlives the tree.
  CDriveTree(ShellContext& context, DrivesDocument& document, QWidget* parent);
  ~CDriveTree() override;

  // Once an item has been selected the tree's commands stay enabled for the run.
  bool ItemSelectedOnce() const { return itemSelectedOnce_; }

  // Re-sorts by FolderSortKey. Items keep their order: drives by letter, folders by name
  // as the scan inserted them; the user sees the work in the message pane.
  void SortFolders();
  // Which state of the activity databases the drive icons show (new = the edited one).
  void ShowDatabaseState(bool newState);

  // --- what other windows use ----------------------------------------------------
  const TreeImages& Images() const { return *images_; }
  // "C:\" for a drive item, the parent's path + text + "\" for a folder item.
  QString PathOfItem(const QModelIndex& item) const;
  // The first child of `item` whose text is `name` (case-sensitive); invalid when none.
  QModelIndex FindChildItem(const QModelIndex& item, const QString& name) const;
  // The item showing `record`; invalid when no item shows it.
  QModelIndex ItemOf(const scan::CFolderInfo* record) const;
  // The record an item shows; nullptr for the "Dummy" placeholder.
  scan::CFolderInfo* RecordOf(const QModelIndex& item) const;
  int StateImage(const QModelIndex& item) const;
  int NormalImage(const QModelIndex& item) const;
  int SelectedImage(const QModelIndex& item) const;
  QModelIndex CurrentItem() const { return currentIndex(); }
  // Hands the folder of `item` to the Files list and captions the list.
  void ShowFolder(const QModelIndex& item);
  void UpdateDriveIcons();
  // Starts scanning `item`, two levels deep when `shallow`, selecting its subfolder
  // `travelTarget` at the end (callers check ScanInProgress first). False when refused.
  bool StartScan(const QModelIndex& item, bool shallow = false, std::optional<std::string> travelTarget = {});
  // Has the document read the drives again and rebuilds their items.
  void EnumerateDrives();
  // What the cluster size and properties commands need of the tree.
  TreeCommandAccess CommandAccess();

 signals:
  // The Files list is to list this folder's entries.
  void folderShown(scan::CFolderInfo* folder);
  // The contents of `folder` were replaced by a scan: records below it are new.
  void subtreeReplaced(scan::CFolderInfo* folder);

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
  void Rescan();
  void StopScanning();
  void CollapseAll();
  void ExpandAll();
  void ExpandAllRead(const QModelIndex& top);
  void SelectAfterScan(scan::CFolderInfo& record, const scan::ScanEnding& ending);
  void UpOneLevel();
  void Properties();
  void ExpandQuietly(const QModelIndex& item);
  QModelIndex DriveItemOf(QModelIndex item) const;
  void RemoveChildItems(QStandardItem& item);
  void SetImages(const QModelIndex& item, int normal, int selected);

  // The document's scan events (UI thread).
  void ScanStarted(scan::CFolderInfo& record);
  void SubtreePlaced(scan::CFolderInfo& record);
  void ScanFinished(scan::CFolderInfo& record, const scan::ScanEnding& ending);
  void ClusterAnalysisPending();

  ShellContext& context_;
  DrivesDocument& document_;
  std::unique_ptr<TreeImages> images_;
  DriveTreeModel* model_ = nullptr;
  QPersistentModelIndex scanItem_;
  QPersistentModelIndex lastShownItem_;
  QPersistentModelIndex expandAllItem_;  // expanded whole once its scan has ended
  bool itemSelectedOnce_ = false;
  bool expandingQuietly_ = false;
};

}  // namespace ui
