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

CFolderInfo* FindRecord(CFolderInfo& driveList, std::string_view folderPath) {
  const auto child = [](CFolderInfo& record, std::string_view name) -> CFolderInfo* {
    for (std::uint32_t i = 0; i < record.Count(); ++i) {
      if (record.IsFolder(i) && record.names(i) == name) return record.GetChild(i);
    }
    return nullptr;
  };
  CFolderInfo* record = child(driveList, folderPath.substr(0, 2));
  std::string_view rest = folderPath.size() > 3 ? folderPath.substr(3) : std::string_view{};
  while (record != nullptr && !rest.empty()) {
    const std::size_t end = rest.find('\\');
    if (const std::string_view name = rest.substr(0, end); !name.empty()) record = child(*record, name);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }
  return record;
}

}  // namespace scan
