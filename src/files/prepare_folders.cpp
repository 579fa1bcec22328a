#include "files/prepare_folders.h"

#include "shell/app_state.h"

namespace files {

void PrepareFolders(const std::vector<std::string>& selectedFolders, FolderScanHook& hook,
                    shell::AppState& state) {
  for (const std::string& name : selectedFolders) {
    if (!hook.NeedsFullScan(name)) continue;
    state.RefreshAfterScan = false;
    hook.ScanAndWait(name);
  }
}

}  // namespace files
