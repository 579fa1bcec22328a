#pragma once
// The folder preparing worker's walk: before a command marks the contents of selected
// folders, every one of them that no full scan has read is scanned, one after another,
// so that the marking reaches what is really on the disk.

#include <string>
#include <vector>

namespace activity { struct AppState; }

namespace files {

// The folders tree as the worker uses it; called on the worker thread.
class FolderScanHook {
 public:
  virtual ~FolderScanHook() = default;
  // Whether the shown folder's subfolder `name` is in the tree and not read by a full scan.
  virtual bool NeedsFullScan(const std::string& name) = 0;
  // Starts the scan of that subfolder and returns when the scan thread has ended.
  virtual void ScanAndWait(const std::string& name) = 0;
  // Called from another thread at exit: a wait in progress or to come returns at once.
  virtual void Cancel() {}
};

// Scans, in order, the folders named that need it; the tree keeps its selection
// (RefreshAfterScan is cleared before each scan).
void PrepareFolders(const std::vector<std::string>& selectedFolders, FolderScanHook& hook,
                    activity::AppState& state);

}  // namespace files
