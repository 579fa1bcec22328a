#pragma once
// The Files list's rows as the window and norvex-cli show them: one snapshot per entry,
// the fourteen cell texts, and the order of the fifteen sort keys.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "activity/app_state.h"
#include "files/name_order.h"
#include "files/record_doubt.h"
#include "scan/folder_info.h"

namespace files {

// A column is named by the sort key that orders it (activity::FilesSort): the first
// kColumnCount keys are the columns, left to right.
inline constexpr int kColumnCount = 14;

struct ColumnSpec {
  const char* title;
  enum class Align { Left, Centre, Right } align;
  int width;  // pixels
};
extern const std::array<ColumnSpec, kColumnCount> kColumns;

// "C", "D", "B", "R" for 1, 2, 4, 8; one blank for every other code.
const char* ActionLetter(std::uint8_t code);
// "R", "W", "RW", "E", "S" for 0..4; one blank for every other code.
const char* LastOperationLetters(std::uint8_t code);
// "%H:%M, %d %b,%y" of a DOS date-time whose fields are local time, English months.
std::string LastAccessText(std::uint32_t dosDateTime);

// What one row shows and sorts by, copied from its entry when the list is filled, so
// that painting never reads records a worker may be changing.
struct ListRow {
  // Into the names its ListRows keeps (or, from a lone MakeRow, into the record's); a
  // pointer and, below, a 16-bit length take 8 bytes less than a view.
  const char* nameData = nullptr;
  std::uint32_t index = 0;  // the entry's index in the shown folder
  std::uint8_t kind = 0;
  std::uint8_t action = 0;
  std::uint8_t state = 0;
  std::uint8_t hint = 0;
  std::uint8_t lastOperation = 0;
  std::uint8_t activityLevel = 0;  // 0..12
  bool sizesShown = true;
  // A later link to data another entry counts: its sizes show in parentheses, added to
  // no total.
  bool laterLink = false;
  // Why a file's counters cannot be its own, which its missing hints rest on.
  RecordDoubt recordDoubt = RecordDoubt::None;
  std::uint16_t nameSize = 0;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t actualSize = 0;
  std::uint32_t lastAccess = 0;
  std::uint32_t readOnly = 0;
  std::uint32_t writeOnly = 0;
  std::uint32_t readWrite = 0;
  std::uint32_t fileCount = 0;
  // The name's place among the rows' names (CompareNames), which every sort's ties go by.
  std::uint32_t nameRank = 0;

  std::string_view Name() const { return {nameData, nameSize}; }
  // Names are at most 255 bytes on every filesystem the scan reads.
  void SetName(std::string_view name) {
    nameData = name.data();
    nameSize = static_cast<std::uint16_t>(std::min<std::size_t>(name.size(), UINT16_MAX));
  }
  bool IsFolder() const { return kind == scan::kKindFolder; }
  // Worked out when asked rather than kept: 8 bytes less for each of many rows.
  std::uint32_t AccessCount() const { return readOnly + writeOnly + readWrite; }
  std::uint32_t UsedPercent() const;
};

// The rows of one folder with their names, which they view, copied into one buffer:
// a string per row cost an allocation and a copy each, and a third of the fill's time
// in a folder of 400,000 files. Moving it keeps the names where they are.
class ListRows {
 public:
  ListRows() = default;
  ListRows(const ListRows&) = delete;
  ListRows& operator=(const ListRows&) = delete;
  ListRows(ListRows&&) noexcept = default;
  ListRows& operator=(ListRows&&) noexcept = default;

  std::vector<ListRow>& rows() { return rows_; }
  const std::vector<ListRow>& rows() const { return rows_; }
  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }
  const ListRow& operator[](std::size_t r) const { return rows_[r]; }
  auto begin() const { return rows_.begin(); }
  auto end() const { return rows_.end(); }

 private:
  friend ListRows MakeRows(const scan::CFolderInfo& folder, bool folderSizesShown);
  std::vector<ListRow> rows_;
  std::unique_ptr<char[]> names_;
};

// The row of entry i. `folderSizesShown` false leaves the four size cells of folder
// entries empty (a drive not fully scanned shown at its root).
ListRow MakeRow(const scan::CFolderInfo& folder, std::uint32_t i, bool folderSizesShown = true);
// A drive not fully scanned shows its folder entries' sizes only where a full scan read
// them: below a folder the last full scan listed.
bool FolderSizesShown(const scan::CFolderInfo& folder, const activity::AppState& state);
// Every entry's row, in reverse entry order, as inserting each at the top leaves them;
// these rows also carry their record doubts and name ranks.
ListRows MakeRows(const scan::CFolderInfo& folder, bool folderSizesShown = true);
// Re-reads action, state and hint of the row's entry.
void RefreshCodes(ListRow& row, const scan::CFolderInfo& folder);

std::string CellText(const ListRow& row, int column);

// Rows from MakeRows, folders first whatever the key; then by the key, larger first
// (unsigned, as counters, codes, packed dates and byte sizes are); ties and keys 0, 14,
// >15 by name. `reversed` turns the order of files among files and folders among
// folders around; folders stay first.
// The rows' positions in that order: the rows themselves stay where they are.
std::vector<std::uint32_t> SortedOrder(const std::vector<ListRow>& rows, std::uint8_t sortKey, bool reversed = false);
// Puts the rows themselves in that order.
void SortRows(ListRows& rows, std::uint8_t sortKey, bool reversed = false);
// Whether the key's own order puts the smaller values first (names do, counters don't).
bool SortsAscending(std::uint8_t sortKey);

}  // namespace files
