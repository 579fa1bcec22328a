// The folder record: entries, totals and the tree it forms.

#include "scan/folder_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "platform/system.h"
#include "scan/scan_export.h"
#include "scan_support.h"
#include "support/deep_records.h"

namespace scan {
namespace {

using scan_testing::Access;
using scan_testing::kGiB;
using scan_testing::InstallAccessRecords;


NewEntry File(std::string_view name, std::uint64_t size, std::uint64_t key = 0, char drive = 'D',
              std::uint64_t clusterSize = 4096) {
  NewEntry entry;
  entry.source = static_cast<std::uint8_t>(drive);
  entry.name = name;
  entry.size = size;
  entry.compressedSize = size;
  entry.clusterSize = clusterSize;
  entry.kind = kKindFile;
  entry.key = key;
  entry.attributes = platform::kAttrArchive;
  return entry;
}

NewEntry Folder(std::string_view name) {
  NewEntry entry;
  entry.source = kSourceSubfolder;
  entry.name = name;
  entry.kind = kKindFolder;
  entry.attributes = platform::kAttrDirectory;
  return entry;
}

// The drive list with drive D:, whose root record is returned.
CFolderInfo& AddDrive(CFolderInfo& driveList, std::string_view name = "D:") {
  NewEntry drive = Folder(name);
  drive.source = kSourceDrive;
  driveList.AddEntry(drive);
  return *driveList.GetChild(driveList.Count() - 1);
}

TEST(FolderInfo, AddEntryJoinsFilesWithTheirAccessRecordsOnly) {
  activity::AccessTables tables;
  InstallAccessRecords(tables, 'D', {{0x1111222233334444, Access(0x2B000000, 3, 5, 6, 7)}});

  CFolderInfo record;
  record.AddEntry(File("known.txt", 5000, 0x1111222233334444), &tables);
  record.AddEntry(File("unknown.txt", 10, 0x5555666677778888), &tables);
  NewEntry folder = Folder("sub");
  folder.key = 0x1111222233334444;  // a folder is never looked up, whatever its key
  record.AddEntry(folder, &tables);

  ASSERT_EQ(record.Count(), 3u);
  EXPECT_EQ(record.names(0), "known.txt");
  EXPECT_EQ(record.lastAccess()[0], 0x2B000000u);
  EXPECT_EQ(record.lastOperations()[0], 3);
  EXPECT_EQ(record.readOnlyCounts()[0], 5u);
  EXPECT_EQ(record.writeOnlyCounts()[0], 6u);
  EXPECT_EQ(record.readWriteCounts()[0], 7u);
  EXPECT_EQ(record.ActualSize(0), 8192u);
  EXPECT_EQ(record.FileCount(0), 1u);

  EXPECT_EQ(record.AccessCount(1), 0u);
  EXPECT_EQ(record.lastAccess()[1], 0u);

  EXPECT_EQ(record.kinds()[2], kKindFolder);
  EXPECT_EQ(record.FileCount(2), 0u);
  EXPECT_EQ(record.AccessCount(2), 0u);
  EXPECT_EQ(record.maxAccessCount, 18u);
}

TEST(FolderInfo, CompressedStateComesFromTheListedAttributes) {
  CFolderInfo record;
  NewEntry compressed = File("c.bin", 100);
  compressed.attributes = platform::kAttrCompressed | platform::kAttrArchive;
  record.AddEntry(compressed);
  NewEntry unreadable = File("u.bin", 100);
  unreadable.attributes = platform::kInvalidAttributes;
  record.AddEntry(unreadable);
  NewEntry drive = Folder("E:");
  drive.source = kSourceDrive;
  drive.attributes = platform::kAttrCompressed;
  record.AddEntry(drive);

  EXPECT_EQ(record.states()[0], kStateCompressed);
  EXPECT_EQ(record.states()[1], kStateNormal);  // all bits set says nothing
  EXPECT_EQ(record.states()[2], kStateNormal);  // drive entries are never compressed
}

TEST(FolderInfo, FilesOfFourGigabytesAndMoreCountInFull) {
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(Folder("big"));
  CFolderInfo& big = *root.GetChild(0);
  big.AddEntry(File("five.img", 5 * kGiB));
  big.AddEntry(File("four.img", 4 * kGiB));

  root.Recalculate(4096);
  EXPECT_EQ(big.totalSize, 9 * kGiB);
  EXPECT_EQ(root.sizes()[0], 9 * kGiB);
  EXPECT_EQ(root.ActualSize(0), 9 * kGiB);
  EXPECT_EQ(root.totalCompressedSize, 9 * kGiB);
  EXPECT_EQ(root.totalFiles, 2u);
}

TEST(FolderInfo, RecalculateCarriesSubtreeTotalsUpAndIsRepeatable) {
  activity::AccessTables tables;
  InstallAccessRecords(tables, 'D', {{1, Access(0x30000000, 2, 1, 0, 0)},
                                     {2, Access(0x30000000, 9, 0, 4, 0)},
                                     {3, Access(0x20000000, 5, 10, 10, 10)}});
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(File("top.txt", 100, 3), &tables);
  root.AddEntry(Folder("sub"));
  CFolderInfo& sub = *root.GetChild(1);
  sub.AddEntry(File("first.txt", 1, 1), &tables);
  sub.AddEntry(File("second.txt", 4097, 2), &tables);
  sub.AddEntry(File("empty.txt", 0), &tables);

  root.Recalculate(4096);
  // Equal latest accesses: the operation of the entry added first.
  EXPECT_EQ(sub.latestAccess, 0x30000000u);
  EXPECT_EQ(sub.latestOperation, 2);
  EXPECT_EQ(sub.totalSize, 4098u);
  EXPECT_EQ(sub.totalActualSize, 4096u + 8192u);
  EXPECT_EQ(sub.totalFiles, 3u);
  EXPECT_EQ(sub.totalReadOnly, 1u);
  EXPECT_EQ(sub.totalWriteOnly, 4u);

  EXPECT_EQ(root.sizes()[1], 4098u);
  EXPECT_EQ(root.FileCount(1), 3u);
  EXPECT_EQ(root.lastAccess()[1], 0x30000000u);
  EXPECT_EQ(root.lastOperations()[1], 2);
  EXPECT_EQ(root.AccessCount(1), 5u);
  EXPECT_EQ(root.latestOperation, 2);
  EXPECT_EQ(root.totalFiles, 4u);
  EXPECT_EQ(root.totalSize, 4198u);
  EXPECT_EQ(root.maxAccessCount, 30u);
  EXPECT_EQ(root.ActivityPercent(1), 16u);  // 5 × 100 / 30 = 16.67, truncated

  const std::uint64_t actual = root.totalActualSize;
  const std::uint32_t files = root.totalFiles;
  root.Recalculate(4096);
  EXPECT_EQ(root.totalActualSize, actual);
  EXPECT_EQ(root.totalFiles, files);
  EXPECT_EQ(root.totalSize, 4198u);
  EXPECT_EQ(sub.totalSize, 4098u);
}

TEST(FolderInfo, ReaggregateKeepsTheActualSizesARecalculationOfAnEntryGave) {
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(File("a", 1));
  root.AddEntry(Folder("sub"));
  root.GetChild(1)->AddEntry(File("b", 1));
  root.Recalculate(4096);
  ASSERT_EQ(root.totalActualSize, 8192u);

  root.RecalculateEntry(0, 512);
  EXPECT_EQ(root.totalActualSize, 8192u);  // the record's own totals wait for Reaggregate
  root.Reaggregate();
  EXPECT_EQ(root.ActualSize(0), 512u);
  EXPECT_EQ(root.totalActualSize, 512u + 4096u);

  root.RecalculateEntry(1, 0);
  root.Reaggregate();
  EXPECT_EQ(root.totalActualSize, 512u + 1u);

  // A cluster size wider than the record keeps for its files still rounds them whole.
  root.Recalculate(8 * kGiB);
  EXPECT_EQ(root.ActualSize(0), 8 * kGiB);
  EXPECT_EQ(root.totalActualSize, 16 * kGiB);

  root.Recalculate(4096);
  EXPECT_EQ(root.totalActualSize, 8192u);
}

TEST(FolderInfo, PercentagesOfEmptyAndUncompressibleEntries) {
  CFolderInfo empty;
  empty.Recalculate(4096);
  EXPECT_EQ(empty.UsedPercent(), 100u);
  EXPECT_EQ(empty.totalFiles, 0u);

  CFolderInfo record;
  NewEntry zero = File("zero", 0);
  record.AddEntry(zero);
  NewEntry squeezed = File("squeezed", 100000);
  squeezed.compressedSize = 40000;
  record.AddEntry(squeezed);
  EXPECT_EQ(record.ActualSize(0), 0u);
  EXPECT_EQ(record.UsedPercent(0), 100u);
  EXPECT_EQ(record.ActualSize(1), 40960u);
  EXPECT_EQ(record.UsedPercent(1), 98u);
  EXPECT_EQ(record.ActivityPercent(1), 0u);  // no access at all: never divides by 0
}

TEST(FolderInfo, CountersWrapAt32Bits) {
  activity::AccessTables tables;
  InstallAccessRecords(tables, 'D', {{7, Access(1, 1, 0xFFFFFFFF, 2, 0)}, {8, Access(1, 1, 3, 0, 0)}});
  CFolderInfo record;
  record.AddEntry(File("a", 1, 7), &tables);
  record.AddEntry(File("b", 1, 8), &tables);
  EXPECT_EQ(record.AccessCount(0), 1u);  // 0xFFFFFFFF + 2 wraps
  EXPECT_EQ(record.maxAccessCount, 3u);
  record.Recalculate(0);
  EXPECT_EQ(record.totalReadOnly, 2u);
}

TEST(FolderInfo, OnlyFolderEntriesOwnChildRecordsAndPathsFollowTheTree) {
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(File("file.txt", 1));
  root.AddEntry(Folder("Work"));
  CFolderInfo& work = *root.GetChild(1);
  work.AddEntry(Folder("deep"));
  CFolderInfo& deep = *work.GetChild(0);

  EXPECT_EQ(root.GetChild(0), nullptr);
  EXPECT_EQ(root.ChildOrEmpty(0).Count(), 0u);
  EXPECT_EQ(&root.ChildOrEmpty(0), &CFolderInfo::EmptyRecord());
  EXPECT_EQ(driveList.path(), "");
  EXPECT_EQ(root.path(), "D:\\");
  EXPECT_EQ(deep.path(), "D:\\Work\\deep\\");
  EXPECT_EQ(&deep.DriveRecord(), &root);
  EXPECT_EQ(&root.DriveRecord(), &root);
  EXPECT_EQ(deep.subfoldersPending, 1);
  EXPECT_EQ(deep.readState, ReadState::NotRead);
}

TEST(FolderInfo, ClearForgetsEntriesButKeepsPlaceAndMarks) {
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(Folder("Work"));
  CFolderInfo& work = *root.GetChild(0);
  work.AddEntry(Folder("old"));
  work.AddEntry(File("old.txt", 10));
  work.Recalculate(512);
  work.subfoldersPending = 0;

  work.Clear();
  EXPECT_EQ(work.Count(), 0u);
  EXPECT_EQ(work.totalSize, 0u);
  EXPECT_EQ(work.maxAccessCount, 0u);
  EXPECT_EQ(work.subfoldersPending, 0);
  EXPECT_EQ(work.path(), "D:\\Work\\");
  work.AddEntry(File("new.txt", 3));
  EXPECT_EQ(work.names(0), "new.txt");
  EXPECT_EQ(work.GetChild(0), nullptr);
}

TEST(FolderInfo, TakeContentsMovesASubtreeIntoItsPlace) {
  CFolderInfo driveList;
  CFolderInfo& root = AddDrive(driveList);
  root.AddEntry(Folder("Work"));
  CFolderInfo& work = *root.GetChild(0);
  work.AddEntry(File("stale.txt", 1));
  work.actions()[0] = 1;

  CFolderInfo scanned;
  scanned.AddEntry(Folder("fresh"));
  scanned.GetChild(0)->AddEntry(File("inner.txt", 7));
  scanned.GetChild(0)->actions()[0] = 4;
  scanned.subfoldersPending = 0;
  scanned.readState = ReadState::ReadFully;
  scanned.Recalculate(0);

  EXPECT_EQ(CountActions(driveList), 1u);
  work.TakeContents(scanned);
  EXPECT_EQ(scanned.Count(), 0u);
  EXPECT_EQ(scanned.totalSize, 0u);
  ASSERT_EQ(work.Count(), 1u);
  EXPECT_EQ(work.names(0), "fresh");
  EXPECT_EQ(work.totalSize, 7u);
  EXPECT_EQ(work.subfoldersPending, 0);
  EXPECT_EQ(work.readState, ReadState::ReadFully);
  EXPECT_EQ(work.GetChild(0)->path(), "D:\\Work\\fresh\\");
  EXPECT_EQ(work.GetChild(0)->Parent(), &work);
  EXPECT_EQ(CountActions(driveList), 1u);  // the stale action went, the new one came
}

// A hostile folder tree or hand-off file can nest records far deeper than a stack holds
// frames: summing, counting, measuring, moving, exporting and freeing them must not take
// a frame per level.
TEST(FolderInfo, AChainOfAHundredThousandLevelsIsSummedWalkedMovedAndFreed) {
  testing_support::RunOnSmallStack([] {
    auto driveList = std::make_unique<CFolderInfo>();
    CFolderInfo& deepest =
        testing_support::AddFolderChain(*driveList, "D:", testing_support::kDeepChainLevels, 5000);
    deepest.actions()[0] = 1;
    CFolderInfo& root = *driveList->GetChild(0);
    root.actions()[0] = 4;

    root.Recalculate(4096);
    driveList->Reaggregate();
    EXPECT_EQ(driveList->totalSize, 5000u);
    EXPECT_EQ(driveList->totalActualSize, 8192u);
    EXPECT_EQ(driveList->totalFiles, 1u);
    EXPECT_EQ(CountActions(*driveList), 2u);
    EXPECT_GT(driveList->MemoryFootprint(), testing_support::kDeepChainLevels * sizeof(CFolderInfo));
    EXPECT_EQ(deepest.path().size(), 3 + 2 * std::size_t{testing_support::kDeepChainLevels});

    std::ostringstream json;
    WriteScanJson(json, {"D:\\", false, 4096}, root);
    // The export's own brace, two per record (it and its totals), one per entry.
    const std::string exported = json.str();
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '{'), 3 * testing_support::kDeepChainLevels + 4);

    // A rescan's hand-over: a fresh chain as deep replaces the old one, which is freed.
    CFolderInfo scanned;
    testing_support::AddFolderChain(scanned, "fresh", testing_support::kDeepChainLevels);
    root.TakeContents(scanned);
    EXPECT_EQ(root.names(0), "fresh");
    EXPECT_EQ(CountActions(*driveList), 0u);
    driveList.reset();
  });
}

TEST(FolderInfo, ManyEntriesKeepTheirOrderAndColumnsWhileTheRecordGrows) {
  CFolderInfo record;
  constexpr std::uint32_t kEntries = 5000;
  for (std::uint32_t i = 0; i < kEntries; ++i) {
    const std::string name = std::string(i % 37, 'n') + std::to_string(i);
    if (i % 7 == 0) {
      record.AddEntry(Folder(name));
      record.GetChild(i)->AddEntry(File("inside", i));
    } else {
      record.AddEntry(File(name, i, i * 3ull, 'D', 0));
    }
    record.hints()[i] = static_cast<std::uint8_t>(i);
  }
  record.Recalculate(0);
  ASSERT_EQ(record.Count(), kEntries);
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < kEntries; ++i) {
    ASSERT_EQ(record.names(i), std::string(i % 37, 'n') + std::to_string(i));
    ASSERT_EQ(record.sizes()[i], i);
    ASSERT_EQ(record.hints()[i], static_cast<std::uint8_t>(i));
    if (i % 7 == 0) {
      ASSERT_NE(record.GetChild(i), nullptr);
      ASSERT_EQ(record.GetChild(i)->sizes()[0], i);
      ASSERT_EQ(record.keys()[i], 0u);
    } else {
      ASSERT_EQ(record.GetChild(i), nullptr);
      ASSERT_EQ(record.keys()[i], i * 3ull);
    }
    total += i;
  }
  EXPECT_EQ(record.totalSize, total);
}

TEST(FolderInfo, ActivityColumnsAppearAtTheFirstActivityAndKeepEveryColumnAsTheRecordGrows) {
  CFolderInfo record;
  record.Reserve(4, 1, 16);
  record.AddEntry(Folder("sub"));
  for (const char* name : {"a", "b", "c"}) record.AddEntry(File(name, 7));
  const std::size_t withoutActivity = record.MemoryFootprint();
  record.SetActivity(2, EntryActivity{});
  EXPECT_EQ(record.MemoryFootprint(), withoutActivity);

  record.SetActivity(2, EntryActivity{1, 2, 3, 0x2A000000, 4});
  EXPECT_GT(record.MemoryFootprint(), withoutActivity);
  for (int i = 0; i < 40; ++i) record.AddEntry(File("more" + std::to_string(i), 9));
  EXPECT_EQ(record.names(2), "b");
  EXPECT_EQ(record.sizes()[2], 7u);
  EXPECT_EQ(record.readOnlyCounts()[2], 1u);
  EXPECT_EQ(record.readWriteCounts()[2], 3u);
  EXPECT_EQ(record.lastAccess()[2], 0x2A000000u);
  EXPECT_EQ(record.lastOperations()[2], 4);
  for (std::uint32_t i : {1u, 3u, 42u}) {
    EXPECT_EQ(record.lastAccess()[i], 0u) << i;
    EXPECT_EQ(record.AccessCount(i), 0u) << i;
  }

  // A subfolder that loses its activity takes it from its entry too.
  record.GetChild(0)->AddEntry(File("inside", 1));
  record.GetChild(0)->SetActivity(0, EntryActivity{.writeOnly = 5, .lastAccess = 0x2B000000});
  record.Recalculate(0);
  EXPECT_EQ(record.writeOnlyCounts()[0], 5u);
  record.GetChild(0)->SetActivity(0, EntryActivity{});
  record.Recalculate(0);
  EXPECT_EQ(record.writeOnlyCounts()[0], 0u);
  EXPECT_EQ(record.latestAccess, 0x2A000000u);

  // A folder with no activity of its own gains the columns while it sums a subfolder's.
  CFolderInfo parent;
  parent.AddEntry(File("before", 3));
  parent.AddEntry(Folder("sub"));
  parent.AddEntry(File("after", 4));
  parent.GetChild(1)->AddEntry(File("inside", 5));
  parent.GetChild(1)->SetActivity(0, EntryActivity{.readOnly = 2, .lastAccess = 0x2C000000});
  parent.Recalculate(0);
  EXPECT_EQ(parent.totalSize, 12u);
  EXPECT_EQ(parent.readOnlyCounts()[1], 2u);
  EXPECT_EQ(parent.totalReadOnly, 2u);
  EXPECT_EQ(parent.latestAccess, 0x2C000000u);
}

TEST(FolderInfo, AReservedListingIsStoredWithoutSlack) {
  CFolderInfo reserved;
  reserved.Reserve(3, 1, 9);
  reserved.AddEntry(File("abc", 1));
  reserved.AddEntry(Folder("def"));
  reserved.AddEntry(File("ghi", 1));
  const std::size_t exact = reserved.MemoryFootprint();

  CFolderInfo grown;
  grown.AddEntry(File("abc", 1));
  grown.AddEntry(Folder("def"));
  grown.AddEntry(File("ghi", 1));
  EXPECT_LE(exact, grown.MemoryFootprint());
  EXPECT_EQ(reserved.names(1), "def");
}

}  // namespace
}  // namespace scan
