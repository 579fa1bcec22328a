// Scans on the worker thread, handed over to the (test's) UI thread.

#include "scan/scan_controller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scan/scan_texts.h"
#include "scan_support.h"
#include "activity/app_state.h"
#include "support/temp_drives.h"

namespace scan {
namespace {

using scan_testing::RecordingStatus;
using scan_testing::UiQueue;

// Records what the controller tells the tree, checking what the tree may rely on.
class TreeEvents : public ScanEvents {
 public:
  explicit TreeEvents(const activity::AppState& state) : state_(state) {}

  void ScanStarted(CFolderInfo& record) override {
    log.push_back("started " + record.path());
    if (onStarted) onStarted(record);
  }
  void SubtreePlaced(CFolderInfo& record) override {
    log.push_back("placed " + record.path());
    EXPECT_TRUE(state_.ScanInProgress || stopped);
  }
  void ScanFinished(CFolderInfo& record, const ScanEnding& ending) override {
    log.push_back("finished " + record.path());
    endings.push_back(ending);
    EXPECT_FALSE(state_.ScanInProgress);
    ++finished;
    if (onFinished) onFinished(record);
  }
  void ClusterAnalysisPending() override { log.push_back("analysis"); }

  std::vector<std::string> log;
  std::vector<ScanEnding> endings;
  int finished = 0;
  bool stopped = false;
  std::function<void(CFolderInfo&)> onStarted;
  std::function<void(CFolderInfo&)> onFinished;

 private:
  const activity::AppState& state_;
};

class ScanControllerTest : public ::testing::Test {
 protected:
  ScanControllerTest() {
    for (const char letter : std::string("CDE")) {
      const std::string name{letter, ':'};
      NewEntry drive;
      drive.source = kSourceDrive;
      drive.name = name;
      drive.kind = kKindFolder;
      driveList_.AddEntry(drive);
    }
    for (const char* path : {"D:\\one\\a.txt", "D:\\one\\deeper\\b.txt", "D:\\two\\c.txt", "E:\\e.txt"}) {
      drives_.WriteFile(path, "data");
    }
  }

  CFolderInfo& Drive(char letter) { return *driveList_.GetChild(static_cast<std::uint32_t>(letter - 'C')); }

  // Lets the worker go on only once Release() is called, from the first "Looking in: ".
  void HoldWorker() {
    auto held = std::make_shared<std::promise<void>>();
    release_ = held;
    status_.OnStatus([released = held->get_future().share()](const std::string& text) {
      if (text.starts_with(kLookingIn)) released.wait();
    });
  }
  void Release() {
    if (release_) release_->set_value();
    release_.reset();
  }
  bool RunUntilFinished(int count) {
    return ui_.RunUntil([&] { return events_.finished >= count && !controller_->ScanThreadRunning(); });
  }

  testing_support::TempDrives drives_{"CDE"};
  activity::AppState state_;
  RecordingStatus status_;
  UiQueue ui_;
  TreeEvents events_{state_};
  CFolderInfo driveList_;
  std::shared_ptr<std::promise<void>> release_;
  std::unique_ptr<ScanController> controller_ =
      std::make_unique<ScanController>(drives_.System(), state_, status_, events_, ui_.Poster());

  ~ScanControllerTest() override {
    Release();
    controller_.reset();
  }
};

TEST_F(ScanControllerTest, TheWorkersSubtreeIsPlacedAndTheDriveRecalculatedOnTheUiThread) {
  CFolderInfo& d = Drive('D');
  d.AddEntry(NewEntry{kSourceSubfolder, "stale", 0, 0, 0, kKindFolder, 0, 0});
  HoldWorker();
  ASSERT_TRUE(controller_->StartScan(d));
  EXPECT_TRUE(state_.ScanInProgress);
  EXPECT_TRUE(controller_->ScanThreadRunning());
  EXPECT_TRUE(state_.DriveScanned[activity::DriveIndex('D')]);
  // Nothing the UI shows changes while the worker reads.
  EXPECT_EQ(d.Count(), 1u);
  EXPECT_EQ(d.names(0), "stale");
  Release();

  ASSERT_TRUE(RunUntilFinished(1));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"started D:\\", "placed D:\\", "finished D:\\"}));
  EXPECT_EQ(d.Count(), 2u);
  EXPECT_EQ(d.totalFiles, 3u);
  EXPECT_EQ(driveList_.GetChild(0)->Count(), 0u);
  EXPECT_FALSE(state_.ScanInProgress);
  const auto texts = status_.Texts();
  EXPECT_EQ(texts.front(), kDeletingPreviousData);
  EXPECT_EQ(texts[texts.size() - 2], kRecalculatingDrive);
  EXPECT_EQ(texts.back(), common::kIdlePrompt);
}

TEST_F(ScanControllerTest, NoSecondScanStartsWhileAWorkerRunsAndARescanWaitsForIt) {
  events_.stopped = true;
  HoldWorker();
  ASSERT_TRUE(controller_->StartScan(Drive('D')));
  controller_->StopScanning();  // ScanInProgress is 0 now, but the worker still runs
  EXPECT_FALSE(controller_->StartScan(Drive('E')));
  CFolderInfo* current = &Drive('C');
  controller_->Rescan([&] { return current; });
  current = &Drive('E');  // the item current when the rescan finally runs
  Release();

  ASSERT_TRUE(RunUntilFinished(2));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"started D:\\", "placed D:\\", "finished D:\\",
                                                   "started E:\\", "placed E:\\", "finished E:\\"}));
  EXPECT_EQ(Drive('E').totalFiles, 1u);
}

TEST_F(ScanControllerTest, StoppingKeepsTheDirectSubfoldersAndForgetsTheDriveWasScanned) {
  events_.stopped = true;
  HoldWorker();
  ASSERT_TRUE(controller_->StartScan(Drive('D')));
  state_.ContinueAutoScan = true;
  controller_->StopScanning();
  EXPECT_FALSE(state_.ScanInProgress);
  EXPECT_FALSE(state_.ContinueAutoScan);
  EXPECT_FALSE(state_.DriveScanned[activity::DriveIndex('D')]);
  Release();

  ASSERT_TRUE(RunUntilFinished(1));
  CFolderInfo& d = Drive('D');
  EXPECT_EQ(d.readState, ReadState::ReadPartly);
  EXPECT_EQ(d.totalFiles, 2u);  // one\a.txt and two\c.txt; one\deeper\ was not read
  EXPECT_FALSE(state_.DriveScanned[activity::DriveIndex('D')]);
}

TEST_F(ScanControllerTest, TheEndOfAScanReportsAndResetsTheRefreshRequests) {
  state_.PendingClusterAnalysis = true;
  ASSERT_TRUE(controller_->StartScan(Drive('D'), /*shallow=*/true, "one"));
  ASSERT_TRUE(RunUntilFinished(1));
  ASSERT_EQ(events_.endings.size(), 1u);
  EXPECT_TRUE(events_.endings[0].refresh);
  EXPECT_TRUE(events_.endings[0].shallow);
  EXPECT_EQ(events_.endings[0].travelTarget, "one");
  EXPECT_EQ(events_.log.back(), "analysis");
  EXPECT_FALSE(controller_->ShallowScanRunning());
  EXPECT_FALSE(state_.PendingClusterAnalysis);
  EXPECT_FALSE(state_.DriveScanned[activity::DriveIndex('D')]);  // a shallow scan is not a full one

  state_.RefreshAfterScan = false;
  // A scan started while the last one closes would lose its flags to that closing.
  bool startedWhileClosing = true;
  events_.onFinished = [&](CFolderInfo& record) { startedWhileClosing = controller_->StartScan(record); };
  ASSERT_TRUE(controller_->StartScan(Drive('D')));
  ASSERT_TRUE(RunUntilFinished(2));
  EXPECT_FALSE(events_.endings[1].refresh);
  EXPECT_FALSE(events_.endings[1].travelTarget);  // the travel target went with its own scan
  EXPECT_TRUE(state_.RefreshAfterScan);
  EXPECT_FALSE(startedWhileClosing);
}

TEST_F(ScanControllerTest, OneScanOfSeveralFoldersLeavesTheRestAloneAndEndsAtAStop) {
  CFolderInfo& d = Drive('D');
  d.AddEntry(NewEntry{kSourceSubfolder, "one", 0, 0, 0, kKindFolder, 0, 0});
  d.AddEntry(NewEntry{kSourceSubfolder, "two", 0, 0, 0, kKindFolder, 0, 0});
  d.AddEntry(NewEntry{'D', "kept.txt", 4, 4, 0, kKindFile, 0, 0});
  d.actions()[2] = 4;  // chosen before: nothing may read D:\ itself again
  events_.stopped = true;
  HoldWorker();
  ASSERT_TRUE(controller_->StartScan(d, {d.GetChild(0), d.GetChild(1)}));
  controller_->StopScanning();
  Release();

  ASSERT_TRUE(RunUntilFinished(1));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"started D:\\one\\", "started D:\\two\\",
                                                   "placed D:\\one\\", "finished D:\\"}));
  EXPECT_EQ(d.GetChild(0)->Count(), 2u);  // a.txt and deeper\, listed before the stop took
  EXPECT_EQ(d.GetChild(1)->Count(), 0u);  // not begun
  EXPECT_EQ(d.GetChild(1)->readState, ReadState::NotRead);
  ASSERT_EQ(d.Count(), 3u);
  EXPECT_EQ(d.actions()[2], 4);
  EXPECT_EQ(d.totalFiles, 3u);  // the drive's totals follow: one\a.txt, one\deeper\b.txt, kept.txt
}

TEST_F(ScanControllerTest, TheStartUpScanReadsEachFixedDriveInTurn) {
  std::string fixed;
  for (const char letter : std::string("CDE")) {
    if (drives_.System().GetDriveType(letter) == platform::DriveType::Fixed) fixed += letter;
  }
  if (fixed.empty()) GTEST_SKIP() << "the temporary folder is not on a fixed drive here";

  std::string selected;
  controller_->StartAutoScan({'C', 'D', 'E'}, [&](char letter) {
    selected += letter;
    return &Drive(letter);
  });
  ASSERT_TRUE(ui_.RunUntil([&] { return !controller_->AutoScanActive(); }));
  EXPECT_EQ(selected, fixed);
  EXPECT_EQ(events_.finished, static_cast<int>(fixed.size()));
  for (const char letter : fixed) EXPECT_TRUE(state_.DriveScanned[activity::DriveIndex(letter)]) << letter;
}

TEST_F(ScanControllerTest, StoppingTheStartUpScanEndsItAfterTheCurrentDrive) {
  if (drives_.System().GetDriveType('C') != platform::DriveType::Fixed) {
    GTEST_SKIP() << "the temporary folder is not on a fixed drive here";
  }
  events_.stopped = true;
  events_.onStarted = [&](CFolderInfo&) { controller_->StopScanning(); };
  std::string selected;
  controller_->StartAutoScan({'C', 'D', 'E'}, [&](char letter) {
    selected += letter;
    return &Drive(letter);
  });
  ASSERT_TRUE(ui_.RunUntil([&] { return !controller_->AutoScanActive(); }));
  EXPECT_EQ(selected, "C");
  EXPECT_EQ(events_.finished, 1);
  EXPECT_FALSE(state_.DriveScanned[activity::DriveIndex('C')]);
  EXPECT_EQ(Drive('D').Count(), 0u);
}

// Counts the calls that have reached the UI queue, so a test knows when a worker's
// hand-over has arrived (counted after it is queued).
class CountingPoster {
 public:
  explicit CountingPoster(UiPoster inner) : inner_(std::move(inner)) {}
  UiPoster Poster() {
    return [this](std::function<void()> call) {
      inner_(std::move(call));
      ++posted_;
    };
  }
  int Posted() const { return posted_; }

 private:
  UiPoster inner_;
  std::atomic<int> posted_{0};
};

class HeldRecordsTest : public ScanControllerTest {
 protected:
  HeldRecordsTest() { controller_ = std::make_unique<ScanController>(drives_.System(), state_, status_, events_, counting_.Poster()); }
  // Runs the UI queue until `calls` have been posted and run.
  bool RunUntilPosted(int calls) {
    return ui_.RunUntil([&] { return counting_.Posted() >= calls && ui_.Pending() == 0; });
  }
  CountingPoster counting_{ui_.Poster()};
};

TEST_F(HeldRecordsTest, AHandOverAndWhatWaitsForItWaitUntilNoHoldIsLeft) {
  CFolderInfo& d = Drive('D');
  d.AddEntry(NewEntry{kSourceSubfolder, "stale", 0, 0, 0, kKindFolder, 0, 0});
  const CFolderInfo* stale = d.GetChild(0);
  std::optional<RecordsHold> first = controller_->HoldRecords();
  std::optional<RecordsHold> second = controller_->HoldRecords();
  ASSERT_TRUE(controller_->StartScan(d));
  CFolderInfo* current = &Drive('E');
  controller_->Rescan([&] { return current; });
  bool ranWhenFree = false;
  controller_->WhenRecordsFree([&] { ranWhenFree = true; });

  ASSERT_TRUE(RunUntilPosted(2));  // the call above and the worker's hand-over
  first.reset();
  ASSERT_TRUE(RunUntilPosted(2));
  EXPECT_EQ(events_.log, std::vector<std::string>{"started D:\\"});
  EXPECT_EQ(d.GetChild(0), stale);
  EXPECT_EQ(d.names(0), "stale");
  EXPECT_FALSE(ranWhenFree);
  EXPECT_TRUE(controller_->ScanThreadRunning());
  EXPECT_TRUE(state_.ScanInProgress);

  second.reset();
  ASSERT_TRUE(RunUntilFinished(2));
  EXPECT_TRUE(ranWhenFree);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"started D:\\", "placed D:\\", "finished D:\\",
                                                   "started E:\\", "placed E:\\", "finished E:\\"}));
  EXPECT_FALSE(controller_->RecordsHeld());
}

TEST_F(HeldRecordsTest, TheNextStartUpDriveWaitsWhileRecordsAreHeld) {
  if (drives_.System().GetDriveType('C') != platform::DriveType::Fixed) {
    GTEST_SKIP() << "the temporary folder is not on a fixed drive here";
  }
  // As when "Perform actions" opens between two drives of the start-up scan.
  std::optional<RecordsHold> hold;
  events_.onFinished = [&](CFolderInfo&) {
    if (events_.finished == 1) hold = controller_->HoldRecords();
  };
  std::string selected;
  controller_->StartAutoScan({'C', 'D', 'E'}, [&](char letter) {
    selected += letter;
    return &Drive(letter);
  });
  // C's start, its hand-over, then the start of D.
  ASSERT_TRUE(RunUntilPosted(3));
  EXPECT_EQ(selected, "C");
  EXPECT_EQ(events_.finished, 1);
  EXPECT_TRUE(controller_->AutoScanActive());

  hold.reset();
  ASSERT_TRUE(ui_.RunUntil([&] { return !controller_->AutoScanActive(); }));
  EXPECT_EQ(selected, "CDE");
}

TEST_F(ScanControllerTest, ACallArrivingAfterTheControllerIsGoneDoesNothing) {
  HoldWorker();
  ASSERT_TRUE(controller_->StartScan(Drive('D')));
  Release();
  controller_.reset();  // waits for the worker, whose hand-over is still queued
  ASSERT_TRUE(ui_.RunUntil([&] { return ui_.Pending() == 0; }));
  EXPECT_EQ(events_.finished, 0);
  EXPECT_EQ(Drive('D').Count(), 0u);
}

}  // namespace
}  // namespace scan
