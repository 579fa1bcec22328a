// The folder preparing walk.
#include <gtest/gtest.h>

#include <set>

#include "files/prepare_folders.h"
#include "activity/app_state.h"

namespace {

class RecordingHook : public files::FolderScanHook {
 public:
  explicit RecordingHook(activity::AppState& state) : state_(state) {}
  bool NeedsFullScan(const std::string& name) override { return unread.count(name) != 0; }
  void ScanAndWait(const std::string& name) override {
    refreshDuringScan.push_back(state_.RefreshAfterScan.load());
    scanned.push_back(name);
  }

  std::set<std::string> unread;
  std::vector<std::string> scanned;
  std::vector<bool> refreshDuringScan;

 private:
  activity::AppState& state_;
};

TEST(SelectionPrepare, ScansOnlyUnreadFoldersInOrderKeepingTheTreeSelection) {
  activity::AppState state;
  RecordingHook hook(state);
  hook.unread = {"Sub", "Other"};
  files::PrepareFolders({"Other", "Read", "Sub"}, hook, state);
  EXPECT_EQ(hook.scanned, (std::vector<std::string>{"Other", "Sub"}));
  EXPECT_EQ(hook.refreshDuringScan, (std::vector<bool>{false, false}));

  hook.scanned.clear();
  state.RefreshAfterScan = true;
  files::PrepareFolders({"Read"}, hook, state);
  EXPECT_TRUE(hook.scanned.empty());
  EXPECT_TRUE(state.RefreshAfterScan.load());
}

}  // namespace
