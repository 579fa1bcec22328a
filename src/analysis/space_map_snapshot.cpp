#include "analysis/space_map_snapshot.h"

#include <utility>

#include "activity/drive_table.h"
#include "scan/folder_info.h"

namespace analysis {

namespace {

void CopyEntry(const scan::CFolderInfo& folder, std::uint32_t i, MapSnapshot& snapshot, MapItem& item) {
  snapshot.SetName(item, folder.names(i));
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
  // The records below the folder in breadth-first order, the order their items take, so
  // that children stay contiguous without recursion (deep trees would overflow the
  // stack); their entries and name bytes are counted first, so that items and names are
  // allocated once.
  std::vector<const scan::CFolderInfo*> records{&folder};
  std::size_t entries = 1;
  std::size_t nameBytes = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const scan::CFolderInfo& record = *records[k];
    entries += record.Count();
    for (std::uint32_t i = 0; i < record.Count(); ++i) {
      nameBytes += record.names(i).size();
      if (const scan::CFolderInfo* child = record.GetChild(i)) records.push_back(child);
    }
  }
  snapshot.items.reserve(entries);
  snapshot.names.reserve(nameBytes);
  snapshot.items.push_back(root);
  // The item of each record, found as its folder entry is copied.
  std::vector<std::uint32_t> itemOf(records.size());
  std::size_t nextRecord = 1;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const scan::CFolderInfo& record = *records[k];
    const std::uint32_t parent = itemOf[k];
    snapshot.items[parent].firstChild = static_cast<std::uint32_t>(snapshot.items.size());
    snapshot.items[parent].childCount = record.Count();
    for (std::uint32_t i = 0; i < record.Count(); ++i) {
      MapItem item;
      CopyEntry(record, i, snapshot, item);
      item.parent = parent;
      if (record.GetChild(i) != nullptr) itemOf[nextRecord++] = static_cast<std::uint32_t>(snapshot.items.size());
      snapshot.items.push_back(item);
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
    path += snapshot.Name(step);
    if (step.folder) path += '\\';
  }
  return path;
}

}  // namespace analysis
