// The first-run mark lives with the drive table it guards: one user's first run gives the
// machine its default databases once, for every user of the folder.

#include "shell/state_folder_options.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "shell/scripted_prompter.h"

namespace {

using shell::kExecutedAtLeastOneTimeOption;

class StateFolderOptionsTest : public ::testing::Test {
 protected:
  StateFolderOptionsTest()
      : folder(std::filesystem::path(::testing::TempDir()) / "norvex-state-options") {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  ~StateFolderOptionsTest() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  testing_support::MemoryOptionStore alice;
  testing_support::MemoryOptionStore bob;
};

TEST_F(StateFolderOptionsTest, OneUsersFirstRunCountsForEveryUserOfTheMachineFolder) {
  // Alice ran a per-user build before: her old mark says nothing of the machine's table.
  alice.values[kExecutedAtLeastOneTimeOption] = "On";
  shell::StateFolderOptions aliceMachine(alice, folder.string(), false);
  EXPECT_EQ(aliceMachine.Read(kExecutedAtLeastOneTimeOption), "");

  shell::StateFolderOptions bobMachine(bob, folder.string(), false);
  bobMachine.Write(kExecutedAtLeastOneTimeOption, "On");
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / shell::kFirstRunMarkerFile));
  EXPECT_TRUE(bob.values.empty());
  EXPECT_EQ(aliceMachine.Read(kExecutedAtLeastOneTimeOption), "On");

  // Other options stay each user's own.
  aliceMachine.Write("AutoScan", "On");
  EXPECT_EQ(alice.values["AutoScan"], "On");
  EXPECT_EQ(bobMachine.Read("AutoScan"), "");
}

TEST_F(StateFolderOptionsTest, PerUserFolderKeepsTheMarkOfEarlierVersions) {
  alice.values[kExecutedAtLeastOneTimeOption] = "On";
  shell::StateFolderOptions own(alice, folder.string(), true);
  EXPECT_EQ(own.Read(kExecutedAtLeastOneTimeOption), "On");
  EXPECT_FALSE(std::filesystem::exists(folder / shell::kFirstRunMarkerFile));
}

}  // namespace
