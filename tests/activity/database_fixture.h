#pragma once
// Shared pieces of the database file tests: drives C:, D:, E: in a temporary folder,
// and helpers that lay records out as the files hold them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "activity/database_files.h"
#include "activity/drive_record.h"
#include "support/temp_drives.h"

namespace activity {

template <typename Record>
std::string BytesOf(const std::vector<Record>& records) {
  std::string bytes;
  for (const Record& record : records) {
    const auto serialized = record.Serialize();
    bytes.append(serialized.begin(), serialized.end());
  }
  return bytes;
}

inline DriveRecord WatchedDrive(char letter, char location = 'C') {
  DriveRecord record;
  record.drive = DriveNumber(letter);
  record.location = DriveNumber(location);
  return record;
}

class DatabaseFiles : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"CDE"};
  platform::System& system = drives.System();

  // Names left in a drive's root (to see that no temporary file stayed behind).
  std::vector<std::string> RootNames(char letter) {
    std::vector<std::string> names;
    system.ListDirectory(std::string{letter, ':', '\\'}, [&names](const platform::FindData& item) {
      names.push_back(item.name);
      return true;
    });
    return names;
  }

  void Symlink(const std::string& target, std::string_view windowsPath) {
    ASSERT_EQ(::symlink(target.c_str(), drives.Host(windowsPath).c_str()), 0);
  }

  // Whether this filesystem keeps the hidden/system/archive bits at all.
  bool KeepsAttributes() {
    drives.WriteFile("C:\\probe", "");
    const bool kept = system.SetFileAttributes("C:\\probe", kDatabaseAttributes) &&
                      (system.GetFileAttributes("C:\\probe") & kDatabaseAttributes) == kDatabaseAttributes;
    system.DeleteFile("C:\\probe");
    return kept;
  }
  void ExpectDatabaseAttributes(std::string_view windowsPath) {
    if (!KeepsAttributes()) return;
    EXPECT_EQ(system.GetFileAttributes(windowsPath) & kDatabaseAttributes, kDatabaseAttributes)
        << windowsPath;
  }
};

}  // namespace activity
