// Zero-filled database files and what a drive is.

#include "activity/database_files.h"

#include <gtest/gtest.h>

#include "database_fixture.h"
#include "platform/forwarding_system.h"
#include "support/faulty_system.h"

namespace activity {
namespace {

using ZeroFilledFile = DatabaseFiles;

TEST_F(ZeroFilledFile, HasExactlyTheLengthAndOnlyZeros) {
  ASSERT_TRUE(CreateZeroFilledFile(system, "D:\\FileTblC.NVX", 135168));
  EXPECT_EQ(drives.ReadFile("D:\\FileTblC.NVX"), std::string(135168, '\0'));
  ExpectDatabaseAttributes("D:\\FileTblC.NVX");

  drives.WriteFile("D:\\FileNamC.NVX", "old names, longer than the new file");
  ASSERT_TRUE(CreateZeroFilledFile(system, "D:\\FileNamC.NVX", 5));
  EXPECT_EQ(drives.ReadFile("D:\\FileNamC.NVX"), std::string(5, '\0'));
  ASSERT_TRUE(CreateZeroFilledFile(system, "D:\\FileNamC.NVX", 0));
  EXPECT_EQ(drives.ReadFile("D:\\FileNamC.NVX"), "");
}

TEST_F(ZeroFilledFile, FailureLeavesWhatWasThere) {
  drives.WriteFile("D:\\FileTblE.NVX", "previous");
  testing_support::FaultySystem faulty(system);
  faulty.DiskFullAfter(70000);
  EXPECT_FALSE(CreateZeroFilledFile(faulty, "D:\\FileTblE.NVX", 135168));
  EXPECT_EQ(drives.ReadFile("D:\\FileTblE.NVX"), "previous");
  EXPECT_EQ(RootNames('D'), std::vector<std::string>{"FileTblE.NVX"});

  EXPECT_FALSE(CreateZeroFilledFile(system, "Q:\\FileTblE.NVX", 33)) << "unmapped drive";
}

TEST_F(ZeroFilledFile, ReplacesALinkWithoutWritingThroughIt) {
  drives.WriteFile("E:\\precious", "keep me");
  Symlink(drives.Host("E:\\precious"), "D:\\FileTblC.NVX");
  ASSERT_TRUE(CreateZeroFilledFile(system, "D:\\FileTblC.NVX", 66));
  EXPECT_EQ(drives.ReadFile("E:\\precious"), "keep me");
  EXPECT_EQ(drives.ReadFile("D:\\FileTblC.NVX"), std::string(66, '\0'));
}

// Answers chosen drive types and volume names.
class ScriptedDrives : public platform::ForwardingSystem {
 public:
  using ForwardingSystem::ForwardingSystem;
  platform::DriveType type = platform::DriveType::Fixed;
  std::optional<platform::VolumeInfo> volume;
  platform::DriveType GetDriveType(char) const override { return type; }
  std::optional<platform::VolumeInfo> GetVolumeInformation(char) const override { return volume; }
};

TEST_F(DatabaseFiles, DriveClassFollowsTheDriveType) {
  using platform::DriveType;
  ScriptedDrives scripted(system);
  const std::pair<DriveType, int> expected[] = {
      {DriveType::Removable, 0}, {DriveType::Fixed, 1},     {DriveType::Remote, 2},
      {DriveType::CdRom, 3},     {DriveType::RamDisk, 4},   {DriveType::Unknown, 5},
      {DriveType::NoRootDir, 5},
  };
  for (const auto& [type, drive_class] : expected) {
    scripted.type = type;
    EXPECT_EQ(DriveClass(scripted, 4), drive_class) << static_cast<int>(type);
  }
  scripted.type = DriveType::Fixed;
  EXPECT_EQ(DriveClass(scripted, 0), 5);
  EXPECT_EQ(DriveClass(scripted, 27), 5);
  EXPECT_EQ(DriveClass(system, 3), 1) << "a temporary folder is on a fixed disk";
}

TEST_F(DatabaseFiles, VolumeLabelFitsTheSystemsBuffer) {
  ScriptedDrives scripted(system);
  EXPECT_EQ(VolumeLabel(scripted, 4), "") << "no volume";
  scripted.volume = platform::VolumeInfo{"Data", 0, "ext4"};
  EXPECT_EQ(VolumeLabel(scripted, 4), "Data");
  scripted.volume->label = std::string(3000, 'L');
  EXPECT_EQ(VolumeLabel(scripted, 4), std::string(2047, 'L'));
}

}  // namespace
}  // namespace activity
