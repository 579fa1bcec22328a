#include "files/hints.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "files/link_groups.h"
#include "scan/record_path.h"
#include "activity/app_state.h"
#include "files/hint_coverage.h"
#include "support/folder_entries.h"

namespace {

using files::ComputeHint;
using files::DayCount;
using files_test::AddFile;
using files_test::Counters;
using files_test::Dos;

// Calendar days between the two local dates: the time of day does not count, and a
// year, a month end or a leap day is no larger a step than any other day.
TEST(DayCount, CountsCalendarDaysAcrossNewYearMonthEndsAndLeapDays) {
  EXPECT_EQ(DayCount(Dos(1997, 1, 5), Dos(1996, 12, 20)), 16);
  EXPECT_EQ(DayCount(Dos(2024, 1, 2), Dos(2023, 12, 27)), 6);
  EXPECT_EQ(DayCount(Dos(1997, 4, 1), Dos(1997, 3, 31)), 1);
  EXPECT_EQ(DayCount(Dos(1997, 3, 1), Dos(1997, 2, 28)), 1);
  EXPECT_EQ(DayCount(Dos(2024, 3, 1), Dos(2024, 2, 28)), 2);  // 29 February between
  EXPECT_EQ(DayCount(Dos(2000, 3, 1), Dos(2000, 2, 28)), 2);
  EXPECT_EQ(DayCount(Dos(2100, 3, 1), Dos(2100, 2, 28)), 1);
  EXPECT_EQ(DayCount(Dos(2025, 1, 1), Dos(2024, 1, 1)), 366);
  EXPECT_EQ(DayCount(Dos(1997, 3, 10, 0, 0), Dos(1997, 3, 9, 23, 58)), 1);
  EXPECT_EQ(DayCount(Dos(1997, 3, 10, 23, 58), Dos(1997, 3, 10, 0, 0)), 0);
  EXPECT_EQ(DayCount(Dos(1997, 3, 8), Dos(1997, 3, 10)), -2);
}

class HintTest : public ::testing::Test {
 protected:
  std::uint8_t Hint(std::uint32_t i, std::uint64_t cs = 512) {
    return ComputeHint(folder, i, cs, drive);
  }
  void SetSpan(std::uint32_t start, std::uint32_t stamp) {
    record.spanStart = start;
    drive.startupStamp = stamp;
  }

  scan::CFolderInfo folder;
  activity::DriveRecord record;
  files::HintDrive drive{&record, 0, true};
};

TEST_F(HintTest, YoungOrMissingDatabaseGivesNoHint) {
  const auto i = AddFile(folder, "a", 100, {0, 1, 0});
  folder.states()[i] = scan::kStateCompressed;
  SetSpan(Dos(1997, 3, 8), Dos(1997, 3, 10));
  EXPECT_EQ(Hint(i), 0);
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  EXPECT_EQ(Hint(i), 2);
  drive.record = nullptr;
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, SpanStartAfterStartupStampGivesNoHint) {
  // A database started this morning, local time, east of UTC: its start lies after the
  // UTC stamp, and would otherwise read as a very old database.
  const auto i = AddFile(folder, "a", 100);
  SetSpan(Dos(1997, 1, 5, 11), Dos(1997, 1, 5, 9));
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, BusyEntriesAreDecompressedOrRestored) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto compressed = AddFile(folder, "c", 100000, {0, 1, 0});
  const auto backedUp = AddFile(folder, "b", 100000, {0, 0, 1});
  const auto normal = AddFile(folder, "n", 100000, {0, 1, 0});
  const auto manyReads = AddFile(folder, "r", 100000, {16 * 2, 0, 0, Dos(1997, 1, 4)});
  folder.states()[compressed] = scan::kStateCompressed;
  folder.states()[backedUp] = scan::kStateBackedUp;
  folder.states()[manyReads] = scan::kStateCompressed;
  EXPECT_EQ(Hint(compressed), 2);
  EXPECT_EQ(Hint(backedUp), 8);
  EXPECT_EQ(Hint(normal), 0);
  EXPECT_EQ(Hint(manyReads), 2);
}

TEST_F(HintTest, LowReadRateIsCompressedOnlyOnCompressibleDrives) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto i = AddFile(folder, "a", 100000, {2, 0, 0, Dos(1997, 1, 4)});
  EXPECT_EQ(Hint(i), 1);
  drive.compressible = false;
  EXPECT_EQ(Hint(i), 0);
}

TEST_F(HintTest, IdleNeverAccessedFilesAreBackedUpFromTheDatabaseStart) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto neverAccessed = AddFile(folder, "n", 100000);
  const auto recent = AddFile(folder, "r", 100000, {0, 0, 0, Dos(1997, 1, 1)});
  const auto backedUp = AddFile(folder, "b", 100000);
  folder.states()[backedUp] = scan::kStateBackedUp;
  EXPECT_EQ(Hint(neverAccessed), 4);
  EXPECT_EQ(Hint(recent), 1);  // idle 4 days: below 15
  EXPECT_EQ(Hint(backedUp), 0);
}

// An empty file frees nothing when backed up, and a folder whose contents were not all
// read has figures that leave out what was not.
TEST_F(HintTest, NoBackUpForEmptyFilesOrFoldersNotReadThrough) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto empty = AddFile(folder, "e", 0);
  const auto unread = AddFile(folder, "u", 100000, {}, scan::kKindFolder);
  const auto partly = AddFile(folder, "p", 100000, {}, scan::kKindFolder);
  const auto read = AddFile(folder, "r", 100000, {}, scan::kKindFolder);
  folder.GetChild(partly)->readState = scan::ReadState::ReadPartly;
  folder.GetChild(read)->readState = scan::ReadState::ReadFully;
  EXPECT_EQ(Hint(empty), files::kHintCompress);
  EXPECT_EQ(Hint(unread), files::kHintNone);
  EXPECT_EQ(Hint(partly), files::kHintNone);
  EXPECT_EQ(Hint(read), files::kHintBackUp);
}

// Six days across New Year: neither idle long enough for a back-up (which empties the
// file) nor a span so long that 500 reads stop being busy.
TEST_F(HintTest, NewYearDoesNotAgeTheDatabase) {
  SetSpan(Dos(2023, 12, 27), Dos(2024, 1, 2));
  const auto neverRead = AddFile(folder, "n", 100000);
  const auto hot = AddFile(folder, "h", 100000, {500, 0, 0, Dos(2024, 1, 1)});
  folder.states()[hot] = scan::kStateCompressed;
  EXPECT_EQ(Hint(neverRead), files::kHintCompress);
  EXPECT_EQ(Hint(hot), files::kHintDecompress);
}

TEST_F(HintTest, CompressedFileSmallerThanAClusterIsDecompressed) {
  SetSpan(Dos(1997, 1, 1), Dos(1997, 1, 5));
  const auto small = AddFile(folder, "s", 100);
  const auto large = AddFile(folder, "l", 512);
  folder.states()[small] = scan::kStateCompressed;
  folder.states()[large] = scan::kStateCompressed;
  EXPECT_EQ(Hint(small, 512), 2);
  EXPECT_EQ(Hint(large, 512), 0);
}

TEST_F(HintTest, OnlyRegularFilesAreHintedLinksTogetherAndSharedDataNeverRewritten) {
  SetSpan(Dos(1996, 12, 20), Dos(1997, 1, 5));
  const auto withTraits = [&](std::string_view name, scan::FileTraits traits, Counters counters = {}) {
    scan::NewEntry entry;
    entry.source = 'D';
    entry.name = name;
    entry.size = entry.compressedSize = 100000;
    entry.key = folder.Count() + 1;
    entry.traits = &traits;
    folder.AddEntry(entry);
    folder.SetActivity(folder.Count() - 1, counters);
    return folder.Count() - 1;
  };
  const Counters fewReads{2, 0, 0, Dos(1997, 1, 4)};
  scan::FileTraits fifo;
  fifo.type = platform::FileType::Fifo;
  scan::FileTraits device;
  device.type = platform::FileType::CharacterDevice;
  scan::FileTraits symbolic;
  symbolic.type = platform::FileType::SymbolicLink;
  scan::FileTraits shared;
  shared.sharedData = true;
  scan::FileTraits link;
  link.links = 2;
  link.inode = 9;
  scan::FileTraits halfFound = link;
  halfFound.links = 3;
  halfFound.inode = 10;

  const auto idleFifo = withTraits("fifo", fifo);
  const auto idleDevice = withTraits("tty", device);
  const auto idleLink = withTraits("link", symbolic);
  const auto sharedRead = withTraits("reflinked", shared, fewReads);
  const auto sharedIdle = withTraits("snapshotted", shared);
  const auto readLink = withTraits("read", link, fewReads);
  const auto idleLinkToIt = withTraits("idle", link);
  const auto halfLinks = withTraits("half", halfFound);
  scan::FileTraits idlePair = link;
  idlePair.inode = 11;
  const auto idleFirst = withTraits("idle-first", idlePair);
  withTraits("idle-second", idlePair);
  const files::LinkGroups links(folder);
  const auto hint = [&](std::uint32_t i) { return ComputeHint(folder, i, 512, drive, &links); };

  EXPECT_EQ(hint(idleFifo), 0);
  EXPECT_EQ(hint(idleDevice), 0);
  EXPECT_EQ(hint(idleLink), 0);
  EXPECT_EQ(hint(sharedRead), 0);  // would be "C"
  EXPECT_EQ(hint(sharedIdle), 4);  // a back-up frees what is not shared and unshares nothing
  // Each link alone would be "C" and "B": together they were read, so both are "C".
  EXPECT_EQ(hint(readLink), 1);
  EXPECT_EQ(hint(idleLinkToIt), 1);
  EXPECT_EQ(hint(halfLinks), 0);  // two of its three links are out of sight
  EXPECT_EQ(hint(idleFirst), 0);  // "B" would empty what the other link shows
  EXPECT_EQ(ComputeHint(folder, idleLinkToIt, 512, drive), 0);  // nothing known of its other links
}

// "Never used" is only known where the recorder watched: B needs the last 15 days
// covered, C the database's whole span; D and R rest on accesses seen and stay.
TEST(HintCoverage, WithholdsBackUpAndCompressWhereTheRecorderDidNotWatch) {
  constexpr std::int64_t kDay = 24 * 3600;
  constexpr std::int64_t now = 1'750'000'000;
  activity::AppState state;
  state.StartupStamp = platform::DosDateTimeFromUtc(now);
  state.CompressibleDrive['D' - 'A'] = true;
  state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), platform::DosDateTimeFromLocal(now - 20 * kDay));
  state.driveTable.AcceptNewState();
  scan::CFolderInfo driveList;
  scan::CFolderInfo& d = scan::RecordForPath(driveList, "D:\\");
  const auto neverUsed = AddFile(d, "never", 100000);
  const auto fewReads = AddFile(d, "few", 100000, {2, 0, 0, platform::DosDateTimeFromLocal(now - kDay)});
  const auto written = AddFile(d, "written", 100000, {0, 1, 0, platform::DosDateTimeFromLocal(now - kDay)});
  d.states()[written] = scan::kStateCompressed;
  const auto hints = [&](std::vector<activity::CoveragePeriod> periods) {
    state.coverage['D' - 'A'] = {activity::CoverageLoad::State::Loaded, std::move(periods), ""};
    return std::vector<int>{ComputeHint(d, neverUsed, 512, state), ComputeHint(d, fewReads, 512, state),
                            ComputeHint(d, written, 512, state)};
  };
  const auto period = [](std::int64_t from, std::int64_t to) {
    return activity::CoveragePeriod{from, to, 0, {}, activity::PeriodEnd::CleanStop};
  };
  EXPECT_EQ(hints({}), (std::vector<int>{0, 0, 2}));
  EXPECT_EQ(files::JudgeCoverage(state, 'D').BackUpReason(), "not recorded long enough: 0 of 15 days");
  EXPECT_EQ(hints({period(now - 20 * kDay, now)}), (std::vector<int>{4, 1, 2}));
  EXPECT_EQ(hints({period(now - 20 * kDay + 600, now - 60)}), (std::vector<int>{4, 1, 2})) << "within tolerance";
  EXPECT_EQ(hints({period(now - 3 * kDay, now)}), (std::vector<int>{0, 0, 2}));
  EXPECT_EQ(files::JudgeCoverage(state, 'D').Summary(), "Recorded 3 of the last 15 days: no B hints");
  hints({period(now - 20 * kDay, now - 12 * kDay)});
  EXPECT_EQ(files::JudgeCoverage(state, 'D').Summary().rfind("Not recorded since ", 0), 0u)
      << "a recorder that stopped is named as the reason";
  EXPECT_EQ(hints({period(now - 20 * kDay, now - 12 * kDay), period(now - 7 * kDay, now)}),
            (std::vector<int>{0, 0, 2}));
  // The last 15 days alone: B may be judged, C's rate over 20 days may not.
  EXPECT_EQ(hints({period(now - 15 * kDay, now)}), (std::vector<int>{4, 0, 2}));
  // Running all along, the recorder saw no opens of a network drive: nothing was covered.
  const activity::CoveragePeriod blind{now - 20 * kDay, now, 0, {}, activity::PeriodEnd::Unknown,
                                       activity::Blindness::NetworkDrive};
  EXPECT_EQ(hints({blind}), (std::vector<int>{0, 0, 2}));
  EXPECT_EQ(files::JudgeCoverage(state, 'D').BackUpReason(), "network drive: opens are not reported to this machine");
  EXPECT_EQ(files::JudgeCoverage(state, 'D').Summary(),
            "Not recorded: network drive: opens are not reported to this machine: no B or C hints");
  state.coverage['D' - 'A'] = {activity::CoverageLoad::State::Damaged, {}, "its checksum is wrong"};
  EXPECT_EQ(ComputeHint(d, neverUsed, 512, state), 0);
  EXPECT_EQ(files::JudgeCoverage(state, 'D').BackUpReason(), "coverage file damaged: its checksum is wrong");
}

// The process's time zone for the life of the object; the one before comes back after.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    if (const char* before = std::getenv("TZ")) before_ = before;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~TimeZone() {
    if (before_) {
      ::setenv("TZ", before_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;

 private:
  std::optional<std::string> before_;
};

// The recorder writes local times and the start-up stamp is UTC: hints must compare
// them in one time base, or a file used an hour ago east of UTC reads as idle for ever
// and is recommended for a back-up, which empties it. Each zone starts on a day whose
// local date differs from the UTC date.
TEST(HintTimeZones, DatesCompareInLocalTimeEastAndWestOfUtc) {
  constexpr std::int64_t kDay = 24 * 3600;
  struct Zone {
    const char* name;
    std::int64_t now;
  };
  const Zone zones[] = {
      {"Asia/Tokyo", 1701201600},        // 2023-11-28 20:00 UTC, the 29th 05:00 there
      {"America/New_York", 1701226800},  // 2023-11-29 03:00 UTC, the 28th 22:00 there
  };
  for (const Zone& zone : zones) {
    SCOPED_TRACE(zone.name);
    const TimeZone inZone(zone.name);
    const auto local = [&zone](std::int64_t offset) { return platform::DosDateTimeFromLocal(zone.now + offset); };
    activity::AppState state;
    state.StartupStamp = platform::DosDateTimeFromUtc(zone.now);
    state.CompressibleDrive['D' - 'A'] = state.CompressibleDrive['E' - 'A'] = true;
    state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), local(-60 * kDay));
    state.driveTable.AppendDefaultRecord(activity::DriveNumber('E'), local(-2 * kDay));
    state.driveTable.AcceptNewState();
    for (const char drive : {'D', 'E'}) {
      state.coverage[static_cast<std::size_t>(drive - 'A')] = {
          activity::CoverageLoad::State::Loaded, {{zone.now - 90 * kDay, zone.now, 0, {}, activity::PeriodEnd::CleanStop}}, ""};
    }

    // Used without a counted open (run, say): only the last access tells.
    scan::CFolderInfo driveList;
    scan::CFolderInfo& d = scan::RecordForPath(driveList, "D:\\Work\\");
    const auto hourAgo = AddFile(d, "hour", 100000, {0, 0, 0, local(-3600)});
    const auto afterStamp = AddFile(d, "later", 100000, {0, 0, 0, local(2 * kDay)});
    const auto idle14 = AddFile(d, "idle14", 100000, {0, 0, 0, local(-14 * kDay)});
    const auto idle15 = AddFile(d, "idle15", 100000, {0, 0, 0, local(-15 * kDay)});
    EXPECT_EQ(ComputeHint(d, hourAgo, 512, state), files::kHintCompress);
    EXPECT_EQ(ComputeHint(d, afterStamp, 512, state), files::kHintCompress) << "idle 0 days";
    EXPECT_EQ(ComputeHint(d, idle14, 512, state), files::kHintCompress);
    EXPECT_EQ(ComputeHint(d, idle15, 512, state), files::kHintBackUp);

    // A database two local days old has not recorded long enough.
    scan::CFolderInfo& e = scan::RecordForPath(driveList, "E:\\");
    const auto young = AddFile(e, "young", 100000);
    EXPECT_EQ(ComputeHint(e, young, 512, state), files::kHintNone);
  }
}

}  // namespace
