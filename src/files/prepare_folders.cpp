#include "files/prepare_folders.h"

#include "activity/app_state.h"

namespace files {

void PrepareFolders(const std::vector<std::string>& selectedFolders, FolderScanHook& hook,
                    activity::AppState& state) {
  for (const std::string& name : selectedFolders) {
    if (!hook.NeedsFullScan(name)) continue;
    state.RefreshAfterScan = false;
    hook.ScanAndWait(name);
  }
}

}  // namespace files
