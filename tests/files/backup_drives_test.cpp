#include "files/backup_drives.h"

#include <gtest/gtest.h>

namespace {

using files::BackupDriveFacts;

// C: (the state folder) and E: share one disk; D: is the data, F: and G: other disks.
const std::vector<BackupDriveFacts> kDrives = {
    {'C', 1, 900}, {'D', 2, 50}, {'E', 1, 900}, {'F', 3, 400}, {'G', std::nullopt, 5000}};

TEST(BackupDrives, RefusesTheSourcesFilesystemByDeviceNotByLetter) {
  EXPECT_FALSE(files::MayBackUpOnto('C', 'E', kDrives));  // another letter, same disk
  EXPECT_FALSE(files::MayBackUpOnto('d', 'D', kDrives));
  EXPECT_FALSE(files::MayBackUpOnto('D', 'G', kDrives));  // unreadable: no telling
  EXPECT_TRUE(files::MayBackUpOnto('D', 'f', kDrives));
  EXPECT_TRUE(files::MayBackUpOnto('D', 'C', kDrives));
}

TEST(BackupDrives, DefaultsToTheMostFreeSpaceOffTheSourceOrToNone) {
  EXPECT_EQ(files::DefaultBackupDrive('D', kDrives), 'E');  // tie with C: goes to the later
  EXPECT_EQ(files::DefaultBackupDrive('C', kDrives), 'F');
  EXPECT_EQ(files::DefaultBackupDrive('C', {{'C', 1, 9}, {'E', 1, 900}}), std::nullopt);
}

}  // namespace
