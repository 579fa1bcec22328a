// Files whose activity record cannot exist (a path over the key limit) or is shared
// (names differing only in case), scanned from a real folder: no hint may rest on their
// counters showing idleness.

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "activity/app_state.h"
#include "files/hint_refresh.h"
#include "scan/record_walk.h"
#include "files/list_format.h"
#include "files/record_doubt.h"
#include "platform/dos_time.h"
#include "scan/record_path.h"
#include "scan/scan_job.h"
#include "common/silent_status.h"
#include "support/temp_drives.h"

namespace {

constexpr std::int64_t kDay = 24 * 3600;
constexpr std::int64_t kNow = 1'750'000'000;

std::uint32_t IndexOf(const scan::CFolderInfo& folder, std::string_view name) {
  for (std::uint32_t i = 0; i < folder.Count(); ++i) {
    if (folder.names(i) == name) return i;
  }
  ADD_FAILURE() << name << " not scanned";
  return 0;
}

// D: with a database 20 days old that the recorder watched throughout: an untouched
// file there earns "B".
struct WatchedDrive {
  WatchedDrive() {
    state.StartupStamp = platform::DosDateTimeFromUtc(kNow);
    state.CompressibleDrive['D' - 'A'] = true;
    state.driveTable.AppendDefaultRecord(activity::DriveNumber('D'), platform::DosDateTimeFromLocal(kNow - 20 * kDay));
    state.driveTable.AcceptNewState();
    state.coverage['D' - 'A'] = {activity::CoverageLoad::State::Loaded,
                                 {{kNow - 30 * kDay, kNow, 0, {}, activity::PeriodEnd::CleanStop}},
                                 ""};
  }
  scan::CFolderInfo& Scan(std::string_view path) {
    scan::CFolderInfo& root = scan::RecordForPath(driveList, "D:\\");
    common::SilentStatus status;
    scan::ScanInPlace(root, false, drives.System(), state, status);
    files::RefreshHints(driveList, state, drives.System());
    return scan::RecordForPath(driveList, path);
  }

  testing_support::TempDrives drives{"CD"};
  activity::AppState state;
  scan::CFolderInfo driveList;
};

TEST(RecordDoubt, APathOverTheKeyLimitGetsNoHintAndSaysWhy) {
  WatchedDrive d;
  // 530 characters: "D:\" and five folders of 100 characters, then the file's name.
  std::string folder = "D:\\";
  for (const char c : std::string("abcde")) folder += std::string(99, c) + "\\";
  const std::string name = std::string(530 - folder.size(), 'f');
  ASSERT_EQ((folder + name).size(), 530u);
  d.drives.WriteFile(folder + name, "long");
  d.drives.WriteFile("D:\\plain.ods", "plain");

  const scan::CFolderInfo& deep = d.Scan(folder);
  const std::uint32_t longFile = IndexOf(deep, name);
  ASSERT_EQ(deep.keys()[longFile], 0u);
  EXPECT_EQ(deep.hints()[longFile], files::kHintNone);
  const scan::CFolderInfo& root = scan::RecordForPath(d.driveList, "D:\\");
  EXPECT_EQ(root.hints()[IndexOf(root, "plain.ods")], files::kHintBackUp) << "the drive earns B";

  ASSERT_EQ(files::MakeRows(deep).size(), 1u);
  EXPECT_STREQ(files::RecordDoubtText(files::MakeRows(deep)[0].recordDoubt), "path too long to record");
}

TEST(RecordDoubt, CaseTwinsShareARecordSoGetNeitherBNorCButDAndRStill) {
  WatchedDrive d;
  d.drives.WriteFile("D:\\Work\\budget.ods", "used");
  d.drives.WriteFile("D:\\Work\\BUDGET.ODS", "never touched");
  d.drives.WriteFile("D:\\Work\\plain.ods", "never touched");
  d.drives.WriteFile("D:\\Docs\\a.txt", "below a folder twin");
  d.drives.WriteFile("D:\\DOCS\\a.txt", "below a folder twin");
  d.drives.WriteFile("D:\\Docs\\b.txt", "no twin below the folder's twin");
  const scan::CFolderInfo& work = d.Scan("D:\\Work\\");
  const std::uint32_t lower = IndexOf(work, "budget.ods");
  const std::uint32_t upper = IndexOf(work, "BUDGET.ODS");
  ASSERT_EQ(work.keys()[lower], work.keys()[upper]);
  EXPECT_EQ(work.hints()[lower], files::kHintNone);
  EXPECT_EQ(work.hints()[upper], files::kHintNone);
  EXPECT_EQ(work.hints()[IndexOf(work, "plain.ods")], files::kHintBackUp);
  const scan::CFolderInfo& docs = scan::RecordForPath(d.driveList, "D:\\Docs\\");
  EXPECT_EQ(docs.hints()[IndexOf(docs, "a.txt")], files::kHintNone);
  EXPECT_EQ(docs.hints()[IndexOf(docs, "b.txt")], files::kHintBackUp) << "its record is its own";

  // Observed use still counts: a compressed twin its record shows written is decompressed.
  scan::CFolderInfo& writable = scan::RecordForPath(d.driveList, "D:\\Work\\");
  writable.states()[upper] = scan::kStateCompressed;
  writable.SetActivity(upper, {0, 10, 0, platform::DosDateTimeFromLocal(kNow - kDay)});
  files::RefreshHints(d.driveList, d.state, d.drives.System());
  EXPECT_EQ(work.hints()[upper], files::kHintDecompress);

  const auto doubtOf = [](const scan::CFolderInfo& folder, std::string_view name) {
    for (const files::ListRow& row : files::MakeRows(folder)) {
      if (row.Name() == name) return std::string(files::RecordDoubtText(row.recordDoubt));
    }
    return std::string("not listed");
  };
  const std::string shared = "shares its record with a name differing only in case";
  EXPECT_EQ(doubtOf(work, "budget.ods"), shared);
  EXPECT_EQ(doubtOf(work, "plain.ods"), "");
  EXPECT_EQ(doubtOf(docs, "a.txt"), shared);
  EXPECT_EQ(doubtOf(docs, "b.txt"), "");
  EXPECT_EQ(doubtOf(scan::RecordForPath(d.driveList, "D:\\"), "Work"), "") << "a folder has no record";
}

// The search holds one share of the key space at a time: the keys a share finds must
// still be found once later shares are searched, which needs the shares in key order.
TEST(RecordDoubt, KeysSharedInEveryShareOfTheKeySpaceAreAllFound) {
  scan::CFolderInfo folders[2];
  std::vector<std::uint64_t> shared;
  for (std::uint64_t top = 0; top < 8; ++top) {
    for (std::uint64_t low = 1; low <= 4; ++low) {
      const std::uint64_t key = (top << 61) | low;
      // Shared keys have their twins in the other folder, in every share.
      const bool twinned = low % 2 == 0;
      for (scan::CFolderInfo& folder : twinned ? std::span(folders) : std::span(folders, 1)) {
        const std::string name = std::to_string(key);
        folder.AddEntry(scan::NewEntry{.source = 'D', .name = name, .key = key});
      }
      if (twinned) shared.push_back(key);
    }
  }
  files::SharedKeySearch search({&folders[1], &folders[0]}, 6);
  int steps = 1;
  while (!search.Step()) ++steps;
  EXPECT_GE(steps, 8 * 3) << "eight shares, each gathered from two records and sorted";
  const files::SharedKeys result = std::move(search).Result();
  for (std::uint64_t top = 0; top < 8; ++top) {
    for (std::uint64_t low = 1; low <= 4; ++low) {
      const std::uint64_t key = (top << 61) | low;
      EXPECT_EQ(result.Holds(key), low % 2 == 0) << std::hex << key;
    }
  }
}

// The window refreshes hints a step at a time between its events: stopped after every
// step, the refresh must still write exactly what one uninterrupted pass writes.
TEST(RecordDoubt, HintsRefreshedStepByStepEqualThoseOfOnePass) {
  WatchedDrive d;
  d.drives.WriteFile("D:\\Work\\budget.ods", "used");
  d.drives.WriteFile("D:\\Work\\BUDGET.ODS", "never touched");
  d.drives.WriteFile("D:\\Work\\Deep\\plain.ods", "never touched");
  d.drives.WriteFile("D:\\top.ods", "never touched");
  scan::CFolderInfo& root = d.Scan("D:\\");
  const auto allHints = [&root] {
    std::vector<std::uint8_t> hints;
    scan::ForEachRecord(root, [&hints](scan::CFolderInfo& record) {
      for (std::uint32_t i = 0; i < record.Count(); ++i) {
        hints.push_back(record.hints()[i]);
        record.hints()[i] = 0xEE;
      }
    });
    return hints;
  };
  const std::vector<std::uint8_t> onePass = allHints();
  ASSERT_NE(std::count(onePass.begin(), onePass.end(), files::kHintBackUp), 0);

  files::HintRefresh refresh(d.driveList, d.state, d.drives.System());
  int steps = 1;
  while (!refresh.Advance(files::HintRefresh::Clock::now() - std::chrono::seconds(1))) ++steps;
  EXPECT_GT(steps, 4) << "a deadline already past allows one step per call";
  EXPECT_EQ(allHints(), onePass);
}

}  // namespace
