#pragma once
// The space map's copy of a folder's subtree, taken on the UI thread, so the layout can
// run on a worker while the records stay with their owner. Items are in breadth-first
// order: item 0 is the folder itself and every item's children are contiguous.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace activity { class DriveTable; }
namespace scan { class CFolderInfo; }

namespace analysis {

struct MapItem {
  // The name's place in its snapshot's names (MapSnapshot::Name); empty for the root.
  std::uint64_t nameStart = 0;
  std::uint32_t nameSize = 0;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t actualSize = 0;  // the area the item takes
  std::uint32_t lastAccess = 0;  // DOS date-time, local; 0 never used
  std::uint32_t readOnly = 0;
  std::uint32_t writeOnly = 0;
  std::uint32_t readWrite = 0;
  std::uint8_t hint = 0;
  std::uint8_t state = 0;
  bool folder = false;
  // A later link to data an earlier entry carries: it takes no area.
  bool laterLink = false;
  std::uint32_t parent = 0;      // the root is its own parent
  std::uint32_t entryIndex = 0;  // index in its parent's record
  std::uint32_t firstChild = 0;
  std::uint32_t childCount = 0;

  std::uint32_t AccessCount() const { return readOnly + writeOnly + readWrite; }
  // The bytes it adds to its folder: its actual size, or nothing for a later link.
  std::uint64_t Area() const { return laterLink ? 0 : actualSize; }
};

struct MapSnapshot {
  std::string rootPath;  // "D:\Work\"
  std::vector<MapItem> items;
  // Every item's name, one after another: a string per item would cost an allocation
  // each and more than doubles a big folder's copy.
  std::string names;
  // False when the folder's drive has no active activity database: its counters mean
  // nothing and the map greys its files.
  bool activeDatabase = true;
  std::string_view Name(const MapItem& item) const {
    return std::string_view(names).substr(item.nameStart, item.nameSize);
  }
  void SetName(MapItem& item, std::string_view name) {
    item.nameStart = names.size();
    item.nameSize = static_cast<std::uint32_t>(name.size());
    names.append(name);
  }
  // Why the recorder's coverage withholds the drive's B and C hints ("Recorded 3 of the
  // last 15 days: no B hints"); "" when it does not. The map greys the files then too.
  std::string notRecorded;
};

// True when the drive of `path` ("D:\...") has a record in the drive table.
bool DriveHasDatabase(const activity::DriveTable& table, const std::string& path);

MapSnapshot SnapshotFolder(const scan::CFolderInfo& folder, bool activeDatabase);
// The Windows path of item i: the root path followed by the names down to it, a folder
// ending in a backslash.
std::string ItemPath(const MapSnapshot& snapshot, std::uint32_t item);

}  // namespace analysis
