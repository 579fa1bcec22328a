// The folder preparing worker's waits on the folders tree: they end with the scan's
// close, and at exit with Cancel even while a held scan cannot close.

#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "activity/app_state.h"
#include "scan/folder_info.h"
#include "scan/scan_controller.h"
#include "ui/actions/tree_scan_hook.h"
#include "ui/document/drives_document.h"
#include "ui/frame/main_frame.h"
#include "ui/views/drive_tree.h"

#include "support_ui/frame_test.h"

namespace {

class TreeScanHookTest : public testing_support::FrameTest {
 protected:
  TreeScanHookTest() {
    drives.WriteFile("D:\\Work\\Deep\\a.txt", "abc");
    OpenFrame();
  }

  // Reads drive D two levels deep and makes it current: Work is then read partly.
  void ScanDriveShallowly() {
    Tree().setCurrentIndex(Drive('D'));
    ASSERT_TRUE(Tree().StartScan(Tree().CurrentItem(), /*shallow=*/true));
    ASSERT_TRUE(RunUntil([this] { return !frame->Document().Scanner().ScanThreadRunning(); }));
  }

  scan::CFolderInfo& Work() { return *Tree().RecordOf(Tree().CurrentItem())->GetChild(0); }

};

TEST_F(TreeScanHookTest, TheWaitEndsWithTheClosedScanOfTheSubfolder) {
  ScanDriveShallowly();
  ASSERT_EQ(Work().readState, scan::ReadState::ReadPartly);
  ui::TreeScanHook hook(Tree(), frame->Document());
  std::atomic<bool> returned{false};
  bool returnedBeforePlaced = false;
  QObject::connect(&frame->Document(), &ui::DrivesDocument::subtreePlaced, [&] { returnedBeforePlaced = returned.load(); });
  bool needed = false;
  std::thread worker([&] {
    needed = hook.NeedsFullScan("Work");
    if (needed) hook.ScanAndWait("Work");
    returned = true;
  });
  ASSERT_TRUE(RunUntil([&] { return returned.load(); }));
  worker.join();
  EXPECT_TRUE(needed);
  EXPECT_FALSE(returnedBeforePlaced);
  EXPECT_FALSE(frame->Document().Scanner().ScanThreadRunning());
  EXPECT_EQ(Work().readState, scan::ReadState::ReadFully);
}

TEST_F(TreeScanHookTest, CancelEndsAWaitForAScanThatCannotClose) {
  ScanDriveShallowly();
  ui::TreeScanHook hook(Tree(), frame->Document());
  std::optional<scan::RecordsHold> hold = frame->Document().Scanner().HoldRecords();
  std::promise<void> waited;
  std::future<void> ended = waited.get_future();
  std::thread worker([&] {
    hook.ScanAndWait("Work");
    waited.set_value();
  });
  ASSERT_TRUE(RunUntil([this] { return frame->Document().Scanner().ScanThreadRunning(); }));
  hook.Cancel();
  const bool woke = ended.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  if (!woke) {
    hold.reset();  // lets the scan close, and with it the wait, before the join
    RunUntil([this] { return !frame->Document().Scanner().ScanThreadRunning(); });
  }
  worker.join();
  EXPECT_TRUE(woke);
  hold.reset();
  RunUntil([this] { return !frame->Document().Scanner().ScanThreadRunning(); });
}

}  // namespace
