#pragma once
// The selection commands' view of the two panes: the Files list's shown folder and
// selected rows, and the folders tree's scans, which the preparing worker starts and
// waits for from its own thread.

#include <QPointer>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "files/action_selection.h"
#include "files/prepare_folders.h"

namespace ui {

class CDriveTree;
class CFilesList;

class ListSelectionView : public files::SelectionView {
 public:
  ListSelectionView(CFilesList& list, std::function<void()> startPrepare)
      : list_(&list), startPrepare_(std::move(startPrepare)) {}

  scan::CFolderInfo* ShownRecord() override;
  std::vector<std::uint32_t> SelectedEntries() const override;
  void ActionChanged(std::uint32_t entry) override;
  void StartPrepareFolders() override { startPrepare_(); }

  // Names of the selected folder entries, in list order.
  std::vector<std::string> SelectedFolderNames() const;
  // Rewrites column "A" of the rows once a command has changed some.
  void Flush();

 private:
  QPointer<CFilesList> list_;
  std::function<void()> startPrepare_;
  bool changed_ = false;
};

// Reaches the tree on the UI thread; a wait gives up once Cancel has been called, so the
// UI thread can end the worker at exit.
class TreeScanHook : public files::FolderScanHook {
 public:
  explicit TreeScanHook(CDriveTree& tree) : tree_(&tree) {}

  bool NeedsFullScan(const std::string& name) override;
  void ScanAndWait(const std::string& name) override;
  void Cancel() { cancelled_ = true; }
  void Reset() { cancelled_ = false; }

 private:
  // Runs `call` on the UI thread and waits for it; false when cancelled first.
  bool OnUiThread(std::function<void()> call);

  QPointer<CDriveTree> tree_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace ui
