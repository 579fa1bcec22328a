#include "analysis/space_map_snapshot.h"

#include <utility>

#include "activity/drive_table.h"
#include "scan/folder_info.h"

namespace analysis {

namespace {

void CopyEntry(const scan::CFolderInfo& folder, std::uint32_t i, MapItem& item) {
  item.name = std::string(folder.names(i));
  item.size = folder.sizes()[i];
  item.compressedSize = folder.compressedSizes()[i];
  item.actualSize = folder.ActualSize(i);
  item.lastAccess = folder.lastAccess()[i];
  item.readOnly = folder.readOnlyCounts()[i];
  item.writeOnly = folder.writeOnlyCounts()[i];
  item.readWrite = folder.readWriteCounts()[i];
  item.hint = folder.hints()[i];
  item.state = folder.states()[i];
  item.folder = folder.IsFolder(i);
  item.laterLink = folder.LaterLink(i);
  item.entryIndex = i;
}

}  // namespace

bool DriveHasDatabase(const activity::DriveTable& table, const std::string& path) {
  if (path.empty()) return false;
  const char letter = path[0];
  if (letter < 'A' || letter > 'Z') return false;
  return table.Find(static_cast<std::uint8_t>(letter - 'A' + 1)) >= 0;
}

MapSnapshot SnapshotFolder(const scan::CFolderInfo& folder, bool activeDatabase) {
  MapSnapshot snapshot;
  snapshot.rootPath = folder.path();
  snapshot.activeDatabase = activeDatabase;
  MapItem root;
  root.folder = true;
  root.actualSize = folder.totalActualSize;
  root.size = folder.totalSize;
  root.compressedSize = folder.totalCompressedSize;
  root.lastAccess = folder.latestAccess;
  root.readOnly = folder.totalReadOnly;
  root.writeOnly = folder.totalWriteOnly;
  root.readWrite = folder.totalReadWrite;
  snapshot.items.push_back(std::move(root));
  // Records in the same breadth-first order as the items, so children stay contiguous
  // without recursion (deep trees would overflow the stack).
  std::vector<const scan::CFolderInfo*> records{&folder};
  for (std::size_t k = 0; k < records.size(); ++k) {
    const scan::CFolderInfo* record = records[k];
    const auto parent = static_cast<std::uint32_t>(k);
    snapshot.items[k].firstChild = static_cast<std::uint32_t>(snapshot.items.size());
    snapshot.items[k].childCount = record ? record->Count() : 0;
    for (std::uint32_t i = 0; record && i < record->Count(); ++i) {
      MapItem item;
      CopyEntry(*record, i, item);
      item.parent = parent;
      snapshot.items.push_back(std::move(item));
      records.push_back(record->IsFolder(i) ? record->GetChild(i) : nullptr);
    }
  }
  return snapshot;
}

std::string ItemPath(const MapSnapshot& snapshot, std::uint32_t item) {
  std::vector<std::uint32_t> chain;
  for (std::uint32_t k = item; k != 0; k = snapshot.items[k].parent) chain.push_back(k);
  std::string path = snapshot.rootPath;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const MapItem& step = snapshot.items[*it];
    path += step.name;
    if (step.folder) path += '\\';
  }
  return path;
}

}  // namespace analysis
