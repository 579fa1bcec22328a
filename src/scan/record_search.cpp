#include "scan/record_search.h"

#include <vector>

namespace scan {

bool TreeHoldsRecord(const CFolderInfo& root, const CFolderInfo* record) {
  if (record == nullptr) return false;
  // An explicit stack: folder trees can be deeper than the call stack allows.
  std::vector<const CFolderInfo*> pending{&root};
  while (!pending.empty()) {
    const CFolderInfo* folder = pending.back();
    pending.pop_back();
    if (folder == record) return true;
    for (std::uint32_t i = 0; i < folder->Count(); ++i) {
      if (!folder->IsFolder(i)) continue;
      if (const CFolderInfo* child = folder->GetChild(i)) pending.push_back(child);
    }
  }
  return false;
}

}  // namespace scan
