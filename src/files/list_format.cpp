#include "files/list_format.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "common/space.h"
#include "platform/dos_time.h"
#include "activity/app_state.h"

namespace files {

using Align = ColumnSpec::Align;
const std::array<ColumnSpec, kColumnCount> kColumns = {{
    {"File name", Align::Left, 150},
    {"A", Align::Centre, 20},
    {"S", Align::Centre, 20},
    {"H", Align::Centre, 20},
    {"Size", Align::Right, 85},
    {"Compressed Size", Align::Right, 125},
    {"Actual size", Align::Right, 95},
    {"Space used", Align::Right, 80},
    {"Accessed", Align::Right, 85},
    {"Last access date", Align::Right, 130},
    {"O", Align::Centre, 25},
    {"RO access", Align::Right, 85},
    {"WO access", Align::Right, 85},
    {"RW access", Align::Right, 85},
}};

const char* ActionLetter(std::uint8_t code) {
  switch (code) {
    case 1: return "C";
    case 2: return "D";
    case 4: return "B";
    case 8: return "R";
    default: return " ";
  }
}

const char* LastOperationLetters(std::uint8_t code) {
  static constexpr const char* kLetters[] = {"R", "W", "RW", "E", "S"};
  return code < std::size(kLetters) ? kLetters[code] : " ";
}

std::string LastAccessText(std::uint32_t dosDateTime) {
  platform::SystemTime fields = platform::UnpackDosDateTime(dosDateTime);
  if (const auto time = platform::DosDateTimeToFileTime(dosDateTime)) {
    if (const auto converted = platform::FileTimeToSystemTime(*time)) fields = *converted;
  }
  return platform::FormatSystemTime(fields, "%H:%M, %d %b,%y");
}

std::uint32_t ListRow::UsedPercent() const { return common::UsedPercent(compressedSize, actualSize); }

ListRow MakeRow(const scan::CFolderInfo& folder, std::uint32_t i, bool folderSizesShown) {
  ListRow row;
  row.SetName(folder.names(i));
  row.index = i;
  row.kind = folder.kinds()[i];
  row.action = folder.actions()[i];
  row.state = folder.states()[i];
  row.hint = folder.hints()[i];
  row.lastOperation = folder.lastOperations()[i];
  // p * 0.12 truncated equals 12p / 100 for every p in 0..100.
  row.activityLevel = static_cast<std::uint8_t>(std::min<std::uint32_t>(folder.ActivityPercent(i), 100) * 12 / 100);
  row.sizesShown = folderSizesShown || !row.IsFolder();
  row.size = folder.sizes()[i];
  row.compressedSize = folder.compressedSizes()[i];
  row.actualSize = folder.ActualSize(i);
  row.lastAccess = folder.lastAccess()[i];
  row.readOnly = folder.readOnlyCounts()[i];
  row.writeOnly = folder.writeOnlyCounts()[i];
  row.readWrite = folder.readWriteCounts()[i];
  row.fileCount = folder.FileCount(i);
  row.laterLink = folder.LaterLink(i);
  return row;
}

bool FolderSizesShown(const scan::CFolderInfo& folder, const activity::AppState& state) {
  const std::string path = folder.path();
  if (path.empty() || path[0] < 'A' || path[0] > 'Z') return true;
  if (state.DriveScanned[static_cast<std::size_t>(activity::DriveIndex(path[0]))].load()) return true;
  const bool driveRoot = &folder.DriveRecord() == &folder;
  return !driveRoot && folder.readState == scan::ReadState::ReadFully;
}

ListRows MakeRows(const scan::CFolderInfo& folder, bool folderSizesShown) {
  ListRows made;
  std::size_t nameBytes = 0;
  for (std::uint32_t i = 0; i < folder.Count(); ++i) nameBytes += folder.names(i).size();
  made.names_ = std::make_unique_for_overwrite<char[]>(nameBytes);
  std::vector<ListRow>& rows = made.rows_;
  rows.reserve(folder.Count());
  const FolderDoubts doubts(folder);
  char* name = made.names_.get();
  for (std::uint32_t i = folder.Count(); i-- > 0;) {
    rows.push_back(MakeRow(folder, i, folderSizesShown));
    ListRow& row = rows.back();
    row.recordDoubt = doubts.Of(i);
    row.SetName(std::string_view(name, row.Name().copy(name, row.nameSize)));
    name += row.nameSize;
  }
  const std::vector<std::uint32_t> ranks = NameRanks(rows.size(), [&rows](std::uint32_t r) { return rows[r].Name(); });
  for (std::size_t r = 0; r < rows.size(); ++r) rows[r].nameRank = ranks[r];
  return made;
}

void RefreshCodes(ListRow& row, const scan::CFolderInfo& folder) {
  if (row.index >= folder.Count()) return;
  row.action = folder.actions()[row.index];
  row.state = folder.states()[row.index];
  row.hint = folder.hints()[row.index];
}

namespace {

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string SizeText(const ListRow& row, std::uint64_t value) {
  if (!row.sizesShown) return {};
  return row.laterLink ? "(" + Number(value) + ")" : Number(value);
}

}  // namespace

std::string CellText(const ListRow& row, int column) {
  const bool accessed = row.lastAccess != 0;
  switch (column) {
    case activity::kSortName: return std::string(row.Name());
    case activity::kSortAction: return ActionLetter(row.action);
    case activity::kSortState: return ActionLetter(row.state);
    case activity::kSortHint: return ActionLetter(row.hint);
    case activity::kSortSize: return SizeText(row, row.size);
    case activity::kSortCompressedSize: return SizeText(row, row.compressedSize);
    case activity::kSortActualSize: return SizeText(row, row.actualSize);
    case activity::kSortUsedPercent: return row.sizesShown ? Number(row.UsedPercent()) + "%" : std::string();
    case activity::kSortAccessCounter: return accessed ? Number(row.AccessCount()) : " ";
    case activity::kSortLastAccess: return accessed ? LastAccessText(row.lastAccess) : " ";
    case activity::kSortLastOperation: return accessed ? LastOperationLetters(row.lastOperation) : " ";
    case activity::kSortReadOnly: return accessed ? Number(row.readOnly) : " ";
    case activity::kSortWriteOnly: return accessed ? Number(row.writeOnly) : " ";
    case activity::kSortReadWrite: return accessed ? Number(row.readWrite) : " ";
    default: return {};
  }
}

namespace {

// The key's value of the row; 0 for keys that order by name alone.
std::uint64_t KeyValue(const ListRow& row, std::uint8_t key) {
  switch (key) {
    case activity::kSortAction: return row.action;
    case activity::kSortState: return row.state;
    case activity::kSortHint: return row.hint;
    case activity::kSortSize: return row.size;
    case activity::kSortCompressedSize: return row.compressedSize;
    case activity::kSortActualSize: return row.actualSize;
    case activity::kSortUsedPercent: return row.UsedPercent();
    case activity::kSortAccessCounter: return row.AccessCount();
    case activity::kSortLastAccess: return row.lastAccess;
    case activity::kSortLastOperation: return row.lastOperation;
    case activity::kSortReadOnly: return row.readOnly;
    case activity::kSortWriteOnly: return row.writeOnly;
    case activity::kSortReadWrite: return row.readWrite;
    case activity::kSortType: return row.kind;
    default: return 0;
  }
}

}  // namespace

// Keys KeyValue does not know order by name alone, A to Z.
bool SortsAscending(std::uint8_t sortKey) {
  return sortKey == activity::kSortName || (sortKey > activity::kSortReadWrite && sortKey != activity::kSortType);
}

std::vector<std::uint32_t> SortedOrder(const std::vector<ListRow>& rows, std::uint8_t sortKey, bool reversed) {
  // Sorting 16-byte items that hold all a comparison needs keeps the sort in the cache;
  // ranks make every tie a number, so no name is compared here.
  struct Item {
    std::uint32_t fileThenTie;  // files after folders, then the name's place
    std::uint32_t row;
    std::uint64_t order;  // the key's value, ascending in the order wanted
  };
  const auto last = static_cast<std::uint32_t>(rows.size() - (rows.empty() ? 0 : 1));
  std::vector<Item> items;
  items.reserve(rows.size());
  for (std::uint32_t r = 0; r < rows.size(); ++r) {
    const ListRow& row = rows[r];
    const std::uint64_t value = KeyValue(row, sortKey);
    const std::uint32_t tie = reversed ? last - row.nameRank : row.nameRank;
    items.push_back({(row.IsFolder() ? 0u : 1u << 31) | tie, r, reversed ? value : ~value});
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    if ((a.fileThenTie >> 31) != (b.fileThenTie >> 31)) return a.fileThenTie < b.fileThenTie;
    if (a.order != b.order) return a.order < b.order;
    return a.fileThenTie < b.fileThenTie;
  });
  std::vector<std::uint32_t> order;
  order.reserve(items.size());
  for (const Item& item : items) order.push_back(item.row);
  return order;
}

void SortRows(ListRows& rows, std::uint8_t sortKey, bool reversed) {
  std::vector<ListRow> sorted;
  sorted.reserve(rows.size());
  for (const std::uint32_t r : SortedOrder(rows.rows(), sortKey, reversed)) sorted.push_back(rows[r]);
  rows.rows() = std::move(sorted);
}

}  // namespace files
