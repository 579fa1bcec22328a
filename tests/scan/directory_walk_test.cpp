// The walk as its sinks see it, listed on one thread or two.

#include "scan/directory_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "activity/path_key.h"
#include "support/temp_drives.h"

namespace scan {
namespace {

class LoggingSink : public WalkSink {
 public:
  void FolderEntered(const FolderStep& folder) override {
    log.push_back("enter " + std::string(folder.path) + " depth " + std::to_string(folder.depth) +
                  " entry " + std::to_string(folder.entryInParent) + (folder.listed ? " listed" : " unlisted") +
                  " pending " + std::to_string(folder.subfoldersPending) + " count " +
                  std::to_string(folder.entryCount));
  }
  void Entry(const WalkEntry& entry) override {
    log.push_back("  " + std::string(entry.name) + (entry.isFolder ? "\\" : "") + " " +
                  std::to_string(entry.size) + " key " + std::to_string(entry.key));
    if (++entries == throwAfter) throw std::runtime_error("sink failed");
  }
  void FolderLeft(const FolderEnd& end) override {
    log.push_back("leave " + std::string(end.path) + (end.complete ? " complete" : " partly"));
  }

  std::vector<std::string> log;
  int entries = 0;
  int throwAfter = -1;
};

class DirectoryWalkTest : public ::testing::Test {
 protected:
  DirectoryWalkTest() {
    for (int top = 0; top < 6; ++top) {
      const std::string folder = "D:\\top" + std::to_string(top);
      for (int file = 0; file < 700; ++file) {
        drives_.WriteFile(folder + "\\f" + std::to_string(file) + ".txt", std::string(file % 13, 'x'));
      }
      drives_.WriteFile(folder + "\\inner\\deepest\\leaf.txt", "leaf");
    }
    options_.networkNames = &names_;
  }

  std::vector<std::string> Walk(bool listAhead, bool shallow = false) {
    LoggingSink sink;
    options_.listAhead = listAhead;
    options_.shallow = shallow;
    ScanFolder(drives_.System(), "D:\\", options_, sink);
    return sink.log;
  }

  testing_support::TempDrives drives_{"CD"};
  activity::NetworkNames names_{};
  WalkOptions options_;
};

TEST_F(DirectoryWalkTest, ListingAheadFeedsTheSinkExactlyAsTheSingleThreadedWalk) {
  const std::vector<std::string> single = Walk(false);
  ASSERT_EQ(single.size(), 1 + 6 + 6 * (1 + 701 + 1) + 6 * 2 * 3 + 1);
  EXPECT_EQ(Walk(true), single);
  EXPECT_EQ(Walk(true, /*shallow=*/true), Walk(false, /*shallow=*/true));
}

TEST_F(DirectoryWalkTest, EntriesComeInListingOrderWithTheirPathKeys) {
  std::vector<std::string> listed;
  drives_.System().ListDirectory("D:\\top3\\", [&](const platform::FindData& found) {
    listed.push_back(found.name);
    return true;
  });
  const std::vector<std::string> log = Walk(true);
  auto enter = std::find_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.starts_with("enter D:\\top3\\ "); });
  ASSERT_NE(enter, log.end());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const std::string& line = *(enter + 1 + static_cast<std::ptrdiff_t>(i));
    ASSERT_TRUE(line.starts_with("  " + listed[i])) << line;
    if (listed[i] != "inner") {
      const std::uint64_t key = activity::PathKey("D:\\top3\\" + listed[i], names_);
      EXPECT_TRUE(line.ends_with(" key " + std::to_string(key))) << line;
    }
  }
}

// Keys are hashed many at once across folders; each must still land on its own file.
TEST_F(DirectoryWalkTest, EveryFileGetsTheKeyOfItsOwnPath) {
  class KeyCheckingSink : public WalkSink {
   public:
    explicit KeyCheckingSink(const activity::NetworkNames& names) : names_(names) {}
    void FolderEntered(const FolderStep& folder) override { open_.emplace_back(folder.path); }
    void Entry(const WalkEntry& entry) override {
      if (entry.isFolder) return;
      ++files;
      const std::string path = open_.back() + std::string(entry.name);
      if (entry.key != activity::PathKey(path, names_)) wrong.push_back(path);
    }
    void FolderLeft(const FolderEnd&) override { open_.pop_back(); }

    int files = 0;
    std::vector<std::string> wrong;

   private:
    const activity::NetworkNames& names_;
    std::vector<std::string> open_;
  };
  for (const bool listAhead : {false, true}) {
    KeyCheckingSink sink(names_);
    options_.listAhead = listAhead;
    ScanFolder(drives_.System(), "D:\\", options_, sink);
    EXPECT_EQ(sink.files, 6 * 701);
    EXPECT_EQ(sink.wrong, std::vector<std::string>{}) << "listing ahead: " << listAhead;
  }
}

TEST_F(DirectoryWalkTest, AFailingSinkEndsTheWalkWithoutLeavingTheListerBehind) {
  for (const bool listAhead : {false, true}) {
    LoggingSink sink;
    sink.throwAfter = 1000;
    options_.listAhead = listAhead;
    EXPECT_THROW(ScanFolder(drives_.System(), "D:\\", options_, sink), std::runtime_error);
    EXPECT_EQ(sink.entries, 1000);
  }
}

TEST_F(DirectoryWalkTest, AFolderThatCannotBeListedIsStillEnteredAndLeft) {
  LoggingSink sink;
  ScanFolder(drives_.System(), "D:\\missing\\", options_, sink);
  EXPECT_EQ(sink.log, (std::vector<std::string>{"enter D:\\missing\\ depth 1 entry 0 unlisted pending 0 count 0",
                                                "leave D:\\missing\\ complete"}));
}

}  // namespace
}  // namespace scan
