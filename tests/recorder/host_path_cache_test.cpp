// The daemon's memory of host paths must answer exactly what working it out afresh
// would, and must forget what a release may have changed.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "activity/path_key.h"
#include "activity/recorder/host_path_cache.h"
#include "activity/recorder/open_tracker.h"

namespace {

using activity::recorder::HostPathCache;
using activity::recorder::ResolvedPath;

class HostPathCacheTest : public ::testing::Test {
 protected:
  HostPathCacheTest() {
    drives_.Set('C', "/srv/c");
    drives_.Set('D', "/srv/d");
    drives_.Set('E', "/srv/d/inner");  // the longest root wins
  }
  std::vector<const ResolvedPath*> Resolve(HostPathCache& cache, std::vector<std::string_view> paths) {
    std::vector<const ResolvedPath*> results;
    cache.Resolve(paths, results);
    EXPECT_EQ(results.size(), paths.size());
    return results;
  }
  platform::DriveMap drives_;
};

TEST_F(HostPathCacheTest, AnswersWhatTheDriveMapAndThePathKeyAnswer) {
  HostPathCache cache(drives_);
  cache.Reset({"/srv/c/DriveTbl.NVX", "/srv/c/FileTblD.NVX.tmp"}, {});
  // More new paths than one interleaved hash takes, one of them twice.
  std::vector<std::string> paths;
  for (int i = 0; i < 40; ++i) paths.push_back("/srv/d/work/folder " + std::to_string(i % 7) + "/file" + std::to_string(i) + ".txt");
  paths.push_back(paths[3]);
  std::vector<std::string_view> views(paths.begin(), paths.end());
  const auto results = Resolve(cache, views);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string expected = "D:\\work\\folder " + std::to_string(i == 40 ? 3 % 7 : i % 7) + "\\file" +
                                 std::to_string(i == 40 ? 3 : i) + ".txt";
    EXPECT_EQ(results[i]->windowsPath, expected);
    EXPECT_EQ(results[i]->key, activity::PathKey(expected, {})) << expected;
    EXPECT_FALSE(results[i]->ignored);
  }
  EXPECT_EQ(results[40], results[3]);
  EXPECT_EQ(cache.Size(), 40u);

  const auto others = Resolve(cache, {"/srv/d/inner/x.txt", "/srv/c/DriveTbl.NVX", "/srv/c/FileTblD.NVX.tmp",
                                      "/elsewhere/x.txt", "/srv/dd/x.txt"});
  EXPECT_EQ(others[0]->windowsPath, "E:\\x.txt");
  EXPECT_EQ(others[0]->key, activity::PathKey("E:\\x.txt", {}));
  EXPECT_TRUE(others[1]->ignored);
  EXPECT_TRUE(others[2]->ignored);
  EXPECT_TRUE(others[3]->windowsPath.empty());
  EXPECT_TRUE(others[4]->windowsPath.empty());
}

TEST_F(HostPathCacheTest, ForgetsKeysAndIgnoredFilesOnReset) {
  HostPathCache cache(drives_);
  cache.Reset({}, {});
  const std::string_view path = "/srv/d/share/a.txt";
  EXPECT_EQ(Resolve(cache, {path})[0]->key, activity::PathKey("D:\\share\\a.txt", {}));

  // D: became a network drive and a.txt a database file while the program held them.
  activity::NetworkNames names{};
  names['D' - 'A'] = "\\server\\share";
  cache.Reset({std::string(path)}, names);
  const ResolvedPath* after = Resolve(cache, {path})[0];
  EXPECT_TRUE(after->ignored);
  cache.Reset({}, names);
  after = Resolve(cache, {path})[0];
  EXPECT_FALSE(after->ignored);
  EXPECT_EQ(after->key, activity::PathKey("D:\\share\\a.txt", names));
  EXPECT_NE(after->key, activity::PathKey("D:\\share\\a.txt", {}));
}

TEST_F(HostPathCacheTest, StaysBoundedAndRightWhenFull) {
  HostPathCache cache(drives_, 8);
  cache.Reset({}, {});
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 20; ++i) {
      const std::string path = "/srv/d/f" + std::to_string(i);
      const ResolvedPath* resolved = Resolve(cache, {path, path})[0];
      EXPECT_EQ(resolved->key, activity::PathKey("D:\\f" + std::to_string(i), {}));
      EXPECT_LE(cache.Size(), 8u);
    }
  }
}

TEST(OpenTrackerViews, KeepsItsOwnCopyOfThePath) {
  // The daemon passes views into a buffer that the next read overwrites.
  activity::recorder::OpenTracker tracker;
  std::string buffer = "/d/first.txt";
  tracker.Read(7, buffer);
  buffer = "/d/other.txt";
  EXPECT_EQ(tracker.Closed(7, "/d/first.txt", true), activity::recorder::Operation::ReadWrite);
  EXPECT_EQ(tracker.Closed(7, buffer, true), activity::recorder::Operation::Write);
  EXPECT_EQ(tracker.OpenCount(), 0u);
}

}  // namespace

namespace {

// A bind mount shows the drive's files under another path; a mount of another
// filesystem below a drive's root is nobody's bind.
TEST_F(HostPathCacheTest, CountsOpensThroughAnotherMountOnThePathsTheDrivesShow) {
  HostPathCache cache(drives_);
  cache.Reset({}, {},
              platform::MountViews::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                          "2 1 8:1 /srv/d/site /srv/www rw shared:4 - ext4 /dev/sda1 rw\n"
                                          "3 1 8:1 /srv/d/inner /srv/in rw - ext4 /dev/sda1 rw\n"
                                          "4 1 8:1 /opt /srv/opt rw - ext4 /dev/sda1 rw\n"
                                          "5 1 0:41 / /srv/d/tmp rw - tmpfs tmpfs rw\n"));
  const auto results = Resolve(cache, {"/srv/www/style.css", "/srv/in/x.txt", "/srv/opt/x.txt", "/srv/d/tmp/x.txt",
                                       "/srv/d/site/style.css"});
  EXPECT_EQ(results[0]->windowsPath, "D:\\site\\style.css");
  EXPECT_EQ(results[0]->key, activity::PathKey("D:\\site\\style.css", {}));
  EXPECT_EQ(results[1]->windowsPath, "E:\\x.txt");
  EXPECT_TRUE(results[2]->windowsPath.empty()) << "no drive shows /opt";
  EXPECT_EQ(results[3]->windowsPath, "D:\\tmp\\x.txt");
  EXPECT_EQ(results[4]->windowsPath, "D:\\site\\style.css");
}

// Answers outlive a release that changed nothing, but not a mount made during a hold.
TEST_F(HostPathCacheTest, KeepsItsAnswersAcrossAResetOnlyWhileTheMountsStay) {
  HostPathCache cache(drives_);
  const std::string root = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
  cache.Reset({}, {}, platform::MountViews::Parse(root));
  EXPECT_TRUE(Resolve(cache, {"/srv/www/style.css"})[0]->windowsPath.empty());
  cache.Reset({}, {}, platform::MountViews::Parse(root));
  EXPECT_EQ(cache.Size(), 1u);
  cache.Reset({}, {}, platform::MountViews::Parse(root + "2 1 8:1 /srv/d/site /srv/www rw - ext4 /dev/sda1 rw\n"));
  EXPECT_EQ(Resolve(cache, {"/srv/www/style.css"})[0]->windowsPath, "D:\\site\\style.css");
}

}  // namespace
