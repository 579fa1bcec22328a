#include "files/list_format.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/ansi.h"
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

ListRow MakeRow(const scan::CFolderInfo& folder, std::uint32_t i, bool folderSizesShown) {
  ListRow row;
  row.name = folder.names(i);
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
  row.usedPercent = folder.UsedPercent(i);
  row.accessCount = folder.AccessCount(i);
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

std::vector<ListRow> MakeRows(const scan::CFolderInfo& folder, bool folderSizesShown) {
  std::vector<ListRow> rows;
  rows.reserve(folder.Count());
  const FolderDoubts doubts(folder);
  for (std::uint32_t i = folder.Count(); i-- > 0;) {
    rows.push_back(MakeRow(folder, i, folderSizesShown));
    rows.back().recordDoubt = doubts.Of(i);
  }
  return rows;
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
    case activity::kSortName: return row.name;
    case activity::kSortAction: return ActionLetter(row.action);
    case activity::kSortState: return ActionLetter(row.state);
    case activity::kSortHint: return ActionLetter(row.hint);
    case activity::kSortSize: return SizeText(row, row.size);
    case activity::kSortCompressedSize: return SizeText(row, row.compressedSize);
    case activity::kSortActualSize: return SizeText(row, row.actualSize);
    case activity::kSortUsedPercent: return row.sizesShown ? Number(row.usedPercent) + "%" : std::string();
    case activity::kSortAccessCounter: return accessed ? Number(row.accessCount) : " ";
    case activity::kSortLastAccess: return accessed ? LastAccessText(row.lastAccess) : " ";
    case activity::kSortLastOperation: return accessed ? LastOperationLetters(row.lastOperation) : " ";
    case activity::kSortReadOnly: return accessed ? Number(row.readOnly) : " ";
    case activity::kSortWriteOnly: return accessed ? Number(row.writeOnly) : " ";
    case activity::kSortReadWrite: return accessed ? Number(row.readWrite) : " ";
    default: return {};
  }
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int CompareBytes(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// Compares the digit runs starting at a[i] and b[j] by value and moves both past them.
int CompareNumbers(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const std::size_t startA = i, startB = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  const std::size_t lengthA = i - startA, lengthB = j - startB;
  if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  return CompareBytes(a.substr(startA, lengthA), b.substr(startB, lengthB));
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      if (const int order = CompareNumbers(a, i, b, j); order != 0) return order;
      continue;
    }
    const auto x = static_cast<unsigned char>(platform::CharUpperA(a[i]));
    const auto y = static_cast<unsigned char>(platform::CharUpperA(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return CompareBytes(a, b);
}

namespace {

// >0 when a's value is larger (a goes first), 0 on a tie. Every key is unsigned: counters
// past 2^31 and packed dates from 2044 on (their top bit set) are the largest.
template <typename T>
int Larger(T a, T b) {
  return a > b ? 1 : (a < b ? -1 : 0);
}

int ByKey(const ListRow& a, const ListRow& b, std::uint8_t key) {
  switch (key) {
    case activity::kSortAction: return Larger(a.action, b.action);
    case activity::kSortState: return Larger(a.state, b.state);
    case activity::kSortHint: return Larger(a.hint, b.hint);
    case activity::kSortSize: return Larger(a.size, b.size);
    case activity::kSortCompressedSize: return Larger(a.compressedSize, b.compressedSize);
    case activity::kSortActualSize: return Larger(a.actualSize, b.actualSize);
    case activity::kSortUsedPercent: return Larger(a.usedPercent, b.usedPercent);
    case activity::kSortAccessCounter: return Larger(a.accessCount, b.accessCount);
    case activity::kSortLastAccess: return Larger(a.lastAccess, b.lastAccess);
    case activity::kSortLastOperation: return Larger(a.lastOperation, b.lastOperation);
    case activity::kSortReadOnly: return Larger(a.readOnly, b.readOnly);
    case activity::kSortWriteOnly: return Larger(a.writeOnly, b.writeOnly);
    case activity::kSortReadWrite: return Larger(a.readWrite, b.readWrite);
    case activity::kSortType: return Larger(a.kind, b.kind);
    default: return 0;
  }
}

}  // namespace

bool RowBefore(const ListRow& a, const ListRow& b, std::uint8_t sortKey, bool reversed) {
  if (a.IsFolder() != b.IsFolder()) return a.IsFolder();
  const ListRow& first = reversed ? b : a;
  const ListRow& second = reversed ? a : b;
  if (const int order = ByKey(first, second, sortKey); order != 0) return order > 0;
  return CompareNames(first.name, second.name) < 0;
}

// Keys ByKey does not know order by name alone, A to Z.
bool SortsAscending(std::uint8_t sortKey) {
  return sortKey == activity::kSortName || (sortKey > activity::kSortReadWrite && sortKey != activity::kSortType);
}

void SortRows(std::vector<ListRow>& rows, std::uint8_t sortKey, bool reversed) {
  // Sorting positions moves 4 bytes per step instead of a whole row.
  std::vector<std::uint32_t> order(rows.size());
  for (std::uint32_t k = 0; k < order.size(); ++k) order[k] = k;
  std::stable_sort(order.begin(), order.end(), [&rows, sortKey, reversed](std::uint32_t a, std::uint32_t b) {
    return RowBefore(rows[a], rows[b], sortKey, reversed);
  });
  std::vector<ListRow> sorted;
  sorted.reserve(rows.size());
  for (const std::uint32_t k : order) sorted.push_back(std::move(rows[k]));
  rows = std::move(sorted);
}

}  // namespace files
