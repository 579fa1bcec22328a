#include "files/list_format.h"

#include <gtest/gtest.h>

#include <random>

#include "support/folder_entries.h"
#include "activity/app_state.h"
#include "scan/record_path.h"

namespace {

using files::CellText;
using files::ListRow;
using files_test::AddFile;
using files_test::Counters;
using files_test::Dos;

TEST(ListLetters, CodesOutsideTheTableShowOneBlank) {
  EXPECT_STREQ(files::ActionLetter(1), "C");
  EXPECT_STREQ(files::ActionLetter(2), "D");
  EXPECT_STREQ(files::ActionLetter(4), "B");
  EXPECT_STREQ(files::ActionLetter(8), "R");
  for (int code : {0, 3, 5, 6, 7, 9, 255}) EXPECT_STREQ(files::ActionLetter(code), " ") << code;
  EXPECT_STREQ(files::LastOperationLetters(2), "RW");
  EXPECT_STREQ(files::LastOperationLetters(4), "S");
  EXPECT_STREQ(files::LastOperationLetters(5), " ");
}

TEST(ListCells, FormatsAnAccessedFile) {
  scan::CFolderInfo folder;
  AddFile(folder, "a.txt", 1000, {1, 2, 3, Dos(1997, 3, 7, 14, 5), 2});
  folder.Recalculate(512);
  const ListRow row = files::MakeRow(folder, 0);
  EXPECT_EQ(CellText(row, activity::kSortSize), "1000");
  EXPECT_EQ(CellText(row, activity::kSortActualSize), "1024");
  EXPECT_EQ(CellText(row, activity::kSortUsedPercent), "98%");
  EXPECT_EQ(CellText(row, activity::kSortAccessCounter), "6");
  EXPECT_EQ(CellText(row, activity::kSortLastAccess), "14:05, 07 Mar,97");
  EXPECT_EQ(CellText(row, activity::kSortLastOperation), "RW");
  EXPECT_EQ(CellText(row, activity::kSortReadWrite), "3");
}

TEST(ListCells, NeverAccessedEntryShowsBlanksWhateverItsCounters) {
  scan::CFolderInfo folder;
  AddFile(folder, "a", 0, {4, 5, 6, 0, 9});
  folder.Recalculate(512);
  const ListRow row = files::MakeRow(folder, 0);
  for (int column = activity::kSortAccessCounter; column <= activity::kSortReadWrite; ++column) {
    EXPECT_EQ(CellText(row, column), " ") << column;
  }
  EXPECT_EQ(CellText(row, activity::kSortUsedPercent), "100%");  // actual size 0
}

TEST(ListCells, FolderSizesStayEmptyWhenHidden) {
  scan::CFolderInfo folder;
  AddFile(folder, "Sub", 0, {}, scan::kKindFolder);
  AddFile(folder, "f", 10);
  const ListRow sub = files::MakeRow(folder, 0, false);
  const ListRow file = files::MakeRow(folder, 1, false);
  for (int column = activity::kSortSize; column <= activity::kSortUsedPercent; ++column) {
    EXPECT_EQ(CellText(sub, column), "") << column;
    EXPECT_NE(CellText(file, column), "") << column;
  }
}

TEST(ListCells, ALaterLinkShowsItsSizesInParentheses) {
  scan::CFolderInfo folder;
  scan::FileTraits traits;
  traits.links = 2;
  for (const bool later : {false, true}) {
    traits.laterLink = later;
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = later ? "second" : "first";
    entry.size = entry.compressedSize = 4096;
    entry.clusterSize = 4096;
    entry.traits = &traits;
    folder.AddEntry(entry);
  }
  EXPECT_EQ(CellText(files::MakeRow(folder, 0), activity::kSortSize), "4096");
  EXPECT_EQ(CellText(files::MakeRow(folder, 1), activity::kSortSize), "(4096)");
  EXPECT_EQ(CellText(files::MakeRow(folder, 1), activity::kSortActualSize), "(4096)");
}

// Only a full scan measures a folder's size: a drive read shallowly shows none at its
// root nor in a folder read partly, but does below a folder read fully.
TEST(ListCells, FolderSizesShowOnlyWhereAFullScanReadThem) {
  scan::CFolderInfo driveList;
  scan::CFolderInfo& root = scan::RecordForPath(driveList, "D:\\");
  scan::CFolderInfo& partly = scan::RecordForPath(driveList, "D:\\Partly\\");
  scan::CFolderInfo& fully = scan::RecordForPath(driveList, "D:\\Fully\\");
  root.readState = partly.readState = scan::ReadState::ReadPartly;
  fully.readState = scan::ReadState::ReadFully;
  activity::AppState state;
  EXPECT_FALSE(files::FolderSizesShown(root, state));
  EXPECT_FALSE(files::FolderSizesShown(partly, state));
  EXPECT_TRUE(files::FolderSizesShown(fully, state));
  state.DriveScanned[activity::DriveIndex('D')] = true;
  EXPECT_TRUE(files::FolderSizesShown(root, state));
  EXPECT_TRUE(files::FolderSizesShown(partly, state));
}

std::vector<std::string> SortedNames(const scan::CFolderInfo& folder, std::uint8_t key) {
  files::ListRows rows = files::MakeRows(folder);
  files::SortRows(rows, key);
  std::vector<std::string> names;
  for (const ListRow& row : rows) names.emplace_back(row.Name());
  return names;
}

TEST(ListSort, FoldersFirstThenLargerThenNameIgnoringCase) {
  scan::CFolderInfo folder;
  AddFile(folder, "big", 5000);
  AddFile(folder, "Zed", 10);
  AddFile(folder, "Dir", 0, {}, scan::kKindFolder);
  AddFile(folder, "alpha", 10);
  using V = std::vector<std::string>;
  EXPECT_EQ(SortedNames(folder, activity::kSortSize), (V{"Dir", "big", "alpha", "Zed"}));
  EXPECT_EQ(SortedNames(folder, activity::kSortName), (V{"Dir", "alpha", "big", "Zed"}));
  EXPECT_EQ(SortedNames(folder, 14), (V{"Dir", "alpha", "big", "Zed"}));
}

// Counters past 2^31 and dates from 2044 on (the top bit of a packed date) are the
// largest and latest: read as signed they sorted as the smallest.
TEST(ListSort, LargeCountersAndLateDatesComeFirst) {
  scan::CFolderInfo folder;
  AddFile(folder, "huge", 0, {0x80000001u, 0, 0, Dos(2043, 12, 31, 23, 0), 1});
  AddFile(folder, "small", 0, {5, 0, 0, Dos(2050, 1, 2, 3, 4), 1});
  using V = std::vector<std::string>;
  EXPECT_EQ(SortedNames(folder, activity::kSortReadOnly), (V{"huge", "small"}));
  EXPECT_EQ(SortedNames(folder, activity::kSortAccessCounter), (V{"huge", "small"}));
  EXPECT_EQ(SortedNames(folder, activity::kSortLastAccess), (V{"small", "huge"}));

  scan::CFolderInfo sized;
  AddFile(sized, "five-gb", 5ull << 30);
  AddFile(sized, "one-gb", 1ull << 30);
  AddFile(sized, "three-gb", 3ull << 30);
  EXPECT_EQ(SortedNames(sized, activity::kSortSize), (V{"five-gb", "three-gb", "one-gb"}));
}

// Digit runs count by value, as a file manager orders them; case still does not count.
TEST(ListSort, NamesSortNaturally) {
  scan::CFolderInfo folder;
  for (const char* name : {"logs 10", "Logs 2", "logs 2b", "Logs 02", "Logs", "v1.10", "v1.9"}) AddFile(folder, name, 1);
  using V = std::vector<std::string>;
  EXPECT_EQ(SortedNames(folder, activity::kSortName), (V{"Logs", "Logs 02", "Logs 2", "logs 2b", "logs 10", "v1.9", "v1.10"}));
}

// A second click on a header turns the order around; folders stay on top.
TEST(ListSort, ReversedKeepsFoldersFirst) {
  scan::CFolderInfo folder;
  AddFile(folder, "b", 5);
  AddFile(folder, "Dir", 0, {}, scan::kKindFolder);
  AddFile(folder, "a", 9);
  AddFile(folder, "c", 5);
  files::ListRows rows = files::MakeRows(folder);
  files::SortRows(rows, activity::kSortSize, /*reversed=*/true);
  std::vector<std::string> names;
  for (const ListRow& row : rows) names.emplace_back(row.Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Dir", "c", "b", "a"}));
}

TEST(ListSort, FreshRowsComeInReverseEntryOrder) {
  scan::CFolderInfo folder;
  AddFile(folder, "first", 1);
  AddFile(folder, "second", 1);
  const files::ListRows rows = files::MakeRows(folder);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].index, 1u);
  EXPECT_EQ(rows[1].index, 0u);
}

// Ranks come from keys that order as bytes: any pair they put the other way round from
// CompareNames (case, digit runs against letters and each other, leading zeros, bytes
// past 0x7F) would show as a list out of order.
TEST(ListSort, NameRanksOrderAsCompareNamesDoes) {
  std::mt19937 random(7);
  const std::string alphabet = "aAbZ0019 ._~\xE9\xC9\xFF";
  std::vector<std::string> names(3000);
  for (std::string& name : names) {
    const std::size_t length = random() % 9;
    for (std::size_t k = 0; k < length; ++k) name += alphabet[random() % alphabet.size()];
  }
  const std::vector<std::uint32_t> ranks =
      files::NameRanks(names.size(), [&names](std::uint32_t k) { return std::string_view(names[k]); });
  for (int pair = 0; pair < 200000; ++pair) {
    const std::size_t a = random() % names.size(), b = random() % names.size();
    const int order = files::CompareNames(names[a], names[b]);
    if (order == 0) continue;
    ASSERT_EQ(order < 0, ranks[a] < ranks[b]) << '"' << names[a] << "\" vs \"" << names[b] << '"';
  }
}

}  // namespace
