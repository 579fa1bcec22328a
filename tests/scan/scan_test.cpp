// Scanning real folders of temporary drives into records.

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>

#include "activity/path_key.h"
#include "support/faulty_system.h"
#include "platform/forwarding_system.h"
#include "scan/scan_export.h"
#include "scan/scan_job.h"
#include "scan/scan_tally.h"
#include "scan/scan_texts.h"
#include "scan_support.h"
#include "activity/app_state.h"
#include "support/deep_records.h"
#include "support/temp_drives.h"

namespace scan {
namespace {

using scan_testing::Access;
using scan_testing::kGiB;
using scan_testing::InstallAccessRecords;
using scan_testing::RecordingStatus;


std::set<std::string> Names(const CFolderInfo& record) {
  std::set<std::string> names;
  for (std::uint32_t i = 0; i < record.Count(); ++i) names.emplace(record.names(i));
  return names;
}

// The entry called `name`; fails the test when there is none.
std::uint32_t IndexOf(const CFolderInfo& record, std::string_view name) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (record.names(i) == name) return i;
  }
  ADD_FAILURE() << "no entry " << name << " in " << record.path();
  return 0;
}

CFolderInfo& Sub(CFolderInfo& record, std::string_view name) {
  CFolderInfo* child = record.GetChild(IndexOf(record, name));
  EXPECT_NE(child, nullptr) << name;
  return *child;
}

class ScanTest : public ::testing::Test {
 protected:
  ScanTest() {
    NewEntry drive;
    drive.source = kSourceDrive;
    drive.name = "D:";
    drive.kind = kKindFolder;
    driveList_.AddEntry(drive);
  }

  CFolderInfo& Root() { return *driveList_.GetChild(0); }

  ScannedSubtree Scan(CFolderInfo& record, bool shallow = false) {
    return ScanInPlace(record, shallow, system_, state_, status_);
  }
  ScannedSubtree ScanOn(const platform::System& system, CFolderInfo& record, bool shallow = false) {
    return ScanInPlace(record, shallow, system, state_, status_);
  }

  // D:\a.txt, D:\.profile, D:\.git\config, D:\sub\x.bin, D:\sub\deep\y.txt,
  // D:\sub\deep\deeper\z.txt
  void MakeTree() {
    drives_.WriteFile("D:\\a.txt", "hello");
    drives_.WriteFile("D:\\.profile", "dot file");
    drives_.WriteFile("D:\\.git\\config", "hidden folder");
    drives_.WriteFileOfSize("D:\\sub\\x.bin", 3000);
    drives_.WriteFile("D:\\sub\\deep\\y.txt", "y");
    drives_.WriteFile("D:\\sub\\deep\\deeper\\z.txt", "zz");
  }

  testing_support::TempDrives drives_{"CD"};
  platform::System& system_ = drives_.System();
  activity::AppState state_;
  RecordingStatus status_;
  CFolderInfo driveList_;
};

TEST_F(ScanTest, AFullScanReadsEveryLevelAndFoldersBeginningWithADot) {
  MakeTree();
  const ScannedSubtree scanned = Scan(Root());

  CFolderInfo& root = Root();
  EXPECT_EQ(Names(root), (std::set<std::string>{"a.txt", ".profile", ".git", "sub"}));
  EXPECT_EQ(Names(Sub(root, ".git")), (std::set<std::string>{"config"}));
  CFolderInfo& sub = Sub(root, "sub");
  CFolderInfo& deep = Sub(sub, "deep");
  CFolderInfo& deeper = Sub(deep, "deeper");
  EXPECT_EQ(Names(deeper), (std::set<std::string>{"z.txt"}));
  for (const CFolderInfo* record : {&root, &sub, &deep, &deeper}) {
    EXPECT_EQ(record->subfoldersPending, 0) << record->path();
    EXPECT_EQ(record->readState, ReadState::ReadFully) << record->path();
  }

  EXPECT_EQ(root.totalFiles, 6u);
  EXPECT_EQ(root.totalSize, 5u + 8u + 13u + 3000u + 1u + 2u);
  EXPECT_EQ(root.sizes()[IndexOf(root, "sub")], 3003u);
  EXPECT_EQ(scanned.entries, 10u);
  EXPECT_TRUE(state_.DriveScanned[activity::DriveIndex('D')]);
  EXPECT_FALSE(state_.ScanInProgress);

  const std::uint32_t x = IndexOf(sub, "x.bin");
  EXPECT_EQ(sub.keys()[x], activity::PathKey("D:\\sub\\x.bin", state_.NetworkName));
  EXPECT_EQ(sub.kinds()[x], kKindFile);
  EXPECT_EQ(sub.keys()[IndexOf(sub, "deep")], 0u);
  if (scanned.clusterSize != 0) {
    EXPECT_EQ(sub.ActualSize(x) % scanned.clusterSize, 0u);
    EXPECT_GE(sub.ActualSize(x), sub.compressedSizes()[x]);
  }

  const auto texts = status_.Texts();
  EXPECT_EQ(texts.front(), kDeletingPreviousData);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(kLookingIn) + "D:\\sub\\deep\\deeper\\"), 1);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(kLookingIn) + "D:\\.git\\"), 1);
  EXPECT_EQ(texts[texts.size() - 2], kRecalculatingDrive);
  EXPECT_EQ(texts.back(), common::kIdlePrompt);
}

TEST_F(ScanTest, AWatcherHearsTheRunningCountsWhileTheRecordsFillAsWithout) {
  MakeTree();
  struct Watcher : ScanWatcher {
    void Counted(const ScanTally& tally) override { heard.push_back(tally); }
    std::vector<ScanTally> heard;
  } watcher;
  const ScannedSubtree scanned = ScanInPlace(Root(), false, system_, state_, status_, &watcher);

  EXPECT_EQ(Root().totalFiles, 6u);
  ASSERT_FALSE(watcher.heard.empty());
  const ScanTally& last = watcher.heard.back();
  EXPECT_EQ(last.entries, scanned.entries);
  EXPECT_EQ(last.foldersListed, scanned.foldersListed);
  EXPECT_EQ(last.bytes, 5u + 8u + 13u + 3000u + 1u + 2u);
  EXPECT_GE(watcher.heard.size(), 2 * scanned.foldersListed);  // entered and left, each
}

TEST_F(ScanTest, AShallowScanReadsTwoLevelsAndMarksTheSecondAsPending) {
  MakeTree();
  Scan(Root(), /*shallow=*/true);

  CFolderInfo& root = Root();
  CFolderInfo& sub = Sub(root, "sub");
  CFolderInfo& deep = Sub(sub, "deep");
  EXPECT_EQ(root.subfoldersPending, 0);
  EXPECT_EQ(root.readState, ReadState::ReadPartly);
  EXPECT_EQ(sub.subfoldersPending, 1);
  EXPECT_EQ(sub.readState, ReadState::ReadPartly);
  EXPECT_EQ(Names(sub), (std::set<std::string>{"x.bin", "deep"}));
  EXPECT_EQ(deep.Count(), 0u);
  EXPECT_EQ(deep.subfoldersPending, 1);
  EXPECT_EQ(deep.readState, ReadState::NotRead);
  EXPECT_FALSE(state_.DriveScanned[activity::DriveIndex('D')]);

  // Opening the pending folder reads it and the level below.
  Scan(deep, /*shallow=*/true);
  EXPECT_EQ(deep.subfoldersPending, 0);
  CFolderInfo& deeper = Sub(deep, "deeper");
  EXPECT_EQ(deeper.subfoldersPending, 1);
  EXPECT_EQ(Names(deeper), (std::set<std::string>{"z.txt"}));
  // Nothing below either was left unread: their totals are whole, and they get hints.
  EXPECT_EQ(deeper.readState, ReadState::ReadFully);
  EXPECT_EQ(deep.readState, ReadState::ReadFully);
  EXPECT_EQ(root.totalFiles, 6u);  // the whole drive was recalculated
}

TEST_F(ScanTest, EmptyAndUnreadableFoldersYieldEmptyRecordsAndTheScanGoesOn) {
  drives_.MakeDirectory("D:\\empty");
  drives_.WriteFile("D:\\locked\\secret.txt", "s");
  drives_.WriteFile("D:\\zsibling\\open.txt", "o");
  testing_support::FaultySystem faulty(system_);
  faulty.Fail(testing_support::Operation::List, {testing_support::PathStartsWith("D:\\locked\\")});

  const ScannedSubtree scanned = ScanOn(faulty, Root());
  CFolderInfo& root = Root();
  CFolderInfo& empty = Sub(root, "empty");
  CFolderInfo& locked = Sub(root, "locked");
  // Unlike the empty folder, the unreadable one is marked and counted, to the JSON
  // export too.
  EXPECT_TRUE(locked.unreadable);
  EXPECT_FALSE(empty.unreadable);
  EXPECT_FALSE(root.unreadable);
  EXPECT_EQ(scanned.foldersUnreadable, 1u);
  std::ostringstream json;
  WriteScanJson(json, {"D:\\", false, scanned.clusterSize}, root);
  EXPECT_NE(json.str().find("\"unreadableFolders\":1,"), std::string::npos) << json.str();
  EXPECT_NE(json.str().find("{\"unreadable\":true,"), std::string::npos);
  EXPECT_NE(json.str().find("{\"unreadable\":false,"), std::string::npos);
  EXPECT_EQ(empty.Count(), 0u);
  EXPECT_EQ(empty.subfoldersPending, 0);
  EXPECT_EQ(empty.UsedPercent(), 100u);
  EXPECT_EQ(locked.Count(), 0u);
  EXPECT_EQ(locked.subfoldersPending, 1);  // never read: keeps its mark
  EXPECT_EQ(locked.readState, ReadState::ReadFully);
  EXPECT_EQ(Names(Sub(root, "zsibling")), (std::set<std::string>{"open.txt"}));
  EXPECT_EQ(root.totalFiles, 1u);
}

// A folder tree as deep as anyone may make one: the scan lists as far as host paths
// reach (PATH_MAX), keeps the first folder beyond as an unread record, and what it made
// is summed and freed like any other records.
TEST_F(ScanTest, AChainPastPathMaxOnDiskIsReadAsFarAsItsPathsReach) {
  const std::string chain = drives_.Root('D') + "/chain";
  // Two-byte levels: twice PATH_MAX levels reach well past where paths end, and making
  // and removing more only loads the disk's journal.
  testing_support::MakeFolderChain(chain, PATH_MAX);
  Scan(Root());

  const CFolderInfo* record = &Sub(Root(), "chain");
  std::size_t depth = 0;
  while (record->Count() == 1 && record->GetChild(0) != nullptr) {
    record = record->GetChild(0);
    ++depth;
  }
  const std::size_t hostPathLength = chain.size() + 2 * depth;
  EXPECT_GE(hostPathLength, std::size_t{PATH_MAX}) << depth;
  EXPECT_LT(hostPathLength - 2, std::size_t{PATH_MAX}) << depth;  // its parent was listed
  EXPECT_EQ(record->Count(), 0u);
  EXPECT_EQ(record->subfoldersPending, 1);
  testing_support::RunOnSmallStack([this] {
    Root().Recalculate(4096);
    EXPECT_EQ(Root().totalFiles, 0u);
    Root().Clear();
  });
}

TEST_F(ScanTest, ADriveWhoseRootCannotBeListedStaysEmptyButCountsAsRead) {
  drives_.WriteFile("D:\\a.txt", "a");
  Scan(Root());
  ASSERT_EQ(Root().Count(), 1u);

  testing_support::FaultySystem faulty(system_);
  faulty.Fail(testing_support::Operation::List);
  EXPECT_EQ(ScanOn(faulty, Root()).foldersUnreadable, 1u);
  EXPECT_TRUE(Root().unreadable);
  EXPECT_EQ(Root().Count(), 0u);
  EXPECT_EQ(Root().totalFiles, 0u);
  EXPECT_EQ(Root().subfoldersPending, 0);  // as the earlier scan left it
  EXPECT_EQ(Root().readState, ReadState::ReadFully);
  Scan(Root());  // readable again: the mark goes
  EXPECT_FALSE(Root().unreadable);
}

TEST_F(ScanTest, AFileWithSeveralLinksCountsOncePerDriveWhicheverPartIsRescanned) {
  drives_.WriteFileOfSize("D:\\a\\data.bin", 3000);
  drives_.WriteFile("D:\\b\\own.txt", "own");
  ASSERT_EQ(::link(drives_.Host("D:\\a\\data.bin").c_str(), drives_.Host("D:\\a\\again.bin").c_str()), 0);
  ASSERT_EQ(::link(drives_.Host("D:\\a\\data.bin").c_str(), drives_.Host("D:\\b\\same.bin").c_str()), 0);
  Scan(Root());

  CFolderInfo& a = Sub(Root(), "a");
  CFolderInfo& b = Sub(Root(), "b");
  const auto laterLinks = [](const CFolderInfo& record) {
    std::uint32_t count = 0;
    for (std::uint32_t i = 0; i < record.Count(); ++i) count += record.LaterLink(i) ? 1 : 0;
    return count;
  };
  EXPECT_EQ(Root().totalSize, 3000u + 3u);
  EXPECT_EQ(a.totalSize + b.totalSize, 3000u + 3u);
  EXPECT_EQ(laterLinks(a) + laterLinks(b), 2u);
  const std::uint32_t same = IndexOf(b, "same.bin");
  EXPECT_EQ(b.sizes()[same], 3000u);  // its row keeps its size
  ASSERT_NE(b.Traits(same), nullptr);
  EXPECT_EQ(b.Traits(same)->links, 3u);
  EXPECT_TRUE(b.Traits(same)->SameFile(*a.Traits(IndexOf(a, "data.bin"))));
  EXPECT_EQ(Root().totalActualSize, a.totalActualSize + b.totalActualSize);
  std::ostringstream json;
  WriteScanJson(json, {"D:\\"}, Root());
  const auto occurrences = [text = json.str()](const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
  };
  EXPECT_EQ(occurrences("\"links\":3,"), 3u);
  EXPECT_EQ(occurrences("\"laterLink\":true"), 2u);
  EXPECT_EQ(occurrences("\"inode\":" + std::to_string(b.Traits(same)->inode) + ","), 3u);

  // The folder the walk met first carries the data. A rescan of the other alone still
  // knows that; once the carrier's links are gone, a rescan of it hands the data over.
  const bool aCarries = laterLinks(a) == 1;
  Scan(aCarries ? b : a);
  EXPECT_EQ(Root().totalSize, 3000u + 3u);
  const std::string carrier = aCarries ? "a" : "b";
  for (const char* name : {"data.bin", "again.bin", "same.bin"}) {
    ::unlink(drives_.Host("D:\\" + carrier + "\\" + name).c_str());
  }
  Scan(Sub(Root(), carrier));
  EXPECT_EQ(Sub(Root(), aCarries ? "b" : "a").totalSize, aCarries ? 3003u : 3000u);
  EXPECT_EQ(Root().totalSize, 3003u);
}

TEST_F(ScanTest, ASparseFileOfFiveGigabytesCountsItsFullSize) {
  drives_.MakeDirectory("D:\\big");
  const std::string host = drives_.Host("D:\\big\\sparse.img");
  const int fd = ::open(host.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(5 * kGiB)), 0);
  ::close(fd);

  Scan(Root());
  CFolderInfo& big = Sub(Root(), "big");
  ASSERT_EQ(big.Count(), 1u);
  EXPECT_EQ(big.sizes()[0], 5 * kGiB);
  EXPECT_LT(big.compressedSizes()[0], 5 * kGiB);  // the data it really holds
  EXPECT_EQ(Root().totalSize, 5 * kGiB);
  EXPECT_EQ(Root().sizes()[IndexOf(Root(), "big")], 5 * kGiB);
}

// Lists as the host does, but every compressed-size query fails.
class NoCompressedSizes : public platform::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  bool ListDirectory(std::string_view folder,
                     const std::function<bool(const platform::FindData&)>& visit) const override {
    return ForwardingSystem::ListDirectory(folder, [&](const platform::FindData& found) {
      platform::FindData failed = found;
      failed.compressedSize = 12345;
      failed.compressedSizeValid = false;
      return visit(failed);
    });
  }
};

TEST_F(ScanTest, AFailedCompressedSizeQueryFallsBackToTheSize) {
  drives_.WriteFileOfSize("D:\\f.bin", 70000);
  NoCompressedSizes system(system_);
  const ScannedSubtree scanned = ScanOn(system, Root());
  EXPECT_EQ(Root().compressedSizes()[0], 70000u);
  if (scanned.clusterSize != 0) {
    const std::uint64_t cluster = scanned.clusterSize;
    EXPECT_EQ(Root().ActualSize(0), (70000 + cluster - 1) / cluster * cluster);
  }
}

TEST_F(ScanTest, FilesTakeTheCountersOfTheirAccessRecords) {
  drives_.WriteFile("D:\\used.txt", "u");
  drives_.WriteFile("D:\\also.txt", "a");
  drives_.WriteFile("D:\\never.txt", "n");
  InstallAccessRecords(state_.accessTables, 'D',
                       {{activity::PathKey("D:\\used.txt", state_.NetworkName), Access(0x3000, 2, 10, 1, 0)},
                        {activity::PathKey("D:\\also.txt", state_.NetworkName), Access(0x3000, 7, 0, 0, 1)}});
  Scan(Root());
  CFolderInfo& root = Root();
  const std::uint32_t used = IndexOf(root, "used.txt");
  const std::uint32_t also = IndexOf(root, "also.txt");
  EXPECT_EQ(root.readOnlyCounts()[used], 10u);
  EXPECT_EQ(root.writeOnlyCounts()[used], 1u);
  EXPECT_EQ(root.readWriteCounts()[also], 1u);
  EXPECT_EQ(root.AccessCount(IndexOf(root, "never.txt")), 0u);
  EXPECT_EQ(root.maxAccessCount, 11u);
  EXPECT_EQ(root.totalReadOnly, 10u);
  // Equal latest accesses: the operation of whichever of the two was listed first.
  EXPECT_EQ(root.latestOperation, used < also ? 2 : 7);
}

TEST_F(ScanTest, ARescanDescribesOnlyTheNewContentsAndKeepsTheActionsOfWhatIsStillThere) {
  drives_.WriteFile("D:\\work\\old.txt", "old");
  drives_.WriteFile("D:\\work\\gone\\deep.txt", "deep");
  drives_.WriteFile("D:\\work\\sub\\s.txt", "s");
  drives_.WriteFile("D:\\work\\twin", "a file, then a folder");
  drives_.WriteFile("D:\\keep\\k.txt", "k");
  Scan(Root());
  CFolderInfo& work = Sub(Root(), "work");
  CFolderInfo& keep = Sub(Root(), "keep");
  work.actions()[IndexOf(work, "old.txt")] = 1;
  work.actions()[IndexOf(work, "twin")] = 1;
  Sub(work, "gone").actions()[0] = 4;
  Sub(work, "sub").actions()[0] = 4;
  Sub(work, "sub").backupDrives()[0] = 'E';
  keep.actions()[0] = 2;
  state_.PendingActionCount = 5;

  testing_support::RemoveTree(drives_.Host("D:\\work\\gone"));
  testing_support::RemoveTree(drives_.Host("D:\\work\\twin"));
  drives_.WriteFile("D:\\work\\twin\\t.txt", "t");
  drives_.WriteFile("D:\\work\\new.txt", "brand new");
  Scan(work);

  EXPECT_EQ(Names(work), (std::set<std::string>{"old.txt", "new.txt", "sub", "twin"}));
  EXPECT_EQ(work.totalFiles, 4u);
  EXPECT_EQ(work.actions()[IndexOf(work, "old.txt")], 1);
  EXPECT_EQ(work.actions()[IndexOf(work, "twin")], 0) << "a folder is not the file it replaced";
  EXPECT_EQ(Sub(work, "sub").actions()[0], 4);
  EXPECT_EQ(Sub(work, "sub").backupDrives()[0], 'E');
  EXPECT_EQ(CountActions(work), 2u);
  EXPECT_EQ(state_.PendingActionCount, 3u);  // deep.txt and the file twin are gone
  EXPECT_EQ(CountActions(driveList_), 3u);
  EXPECT_EQ(status_.Texts().back(),
            "2 selected action(s) dropped: the rescan no longer lists their files.");
  EXPECT_EQ(Root().totalFiles, 5u);
}

TEST_F(ScanTest, AStoppedScanStillReadsTheStartingFoldersSubfoldersButNothingDeeper) {
  for (const char* top : {"D:\\a", "D:\\b", "D:\\c"}) {
    drives_.WriteFile(std::string(top) + "\\file.txt", "f");
    drives_.WriteFile(std::string(top) + "\\below\\file.txt", "f");
  }
  // Stop as soon as the first subfolder is about to be listed.
  status_.OnStatus([this](const std::string& text) {
    if (text.starts_with(std::string(kLookingIn) + "D:\\") && text.size() > std::string(kLookingIn).size() + 3) {
      state_.ScanInProgress = false;
    }
  });
  Scan(Root());

  CFolderInfo& root = Root();
  EXPECT_EQ(root.readState, ReadState::ReadPartly);
  for (const char* name : {"a", "b", "c"}) {
    CFolderInfo& top = Sub(root, name);
    EXPECT_EQ(Names(top), (std::set<std::string>{"file.txt", "below"})) << name;
    EXPECT_EQ(top.readState, ReadState::ReadPartly) << name;
    CFolderInfo& below = Sub(top, "below");
    EXPECT_EQ(below.Count(), 0u) << name;
    EXPECT_EQ(below.readState, ReadState::NotRead) << name;
  }
  EXPECT_EQ(root.totalFiles, 3u);
}

}  // namespace
}  // namespace scan
