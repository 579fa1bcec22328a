#include "support/faulty_system.h"

#include <gtest/gtest.h>

#include "support/temp_drives.h"

namespace testing_support {
namespace {

using platform::OpenMode;

TEST(FaultySystem, FailsChosenCallsAfterSomeSucceed) {
  TempDrives drives;
  FaultySystem system(drives.System());
  system.Fail(Operation::CreateDirectory, {PathStartsWith("d:\\backup"), 1, 1});
  EXPECT_TRUE(system.CreateDirectory("D:\\Backup"));
  EXPECT_FALSE(system.CreateDirectory("D:\\Backup\\A"));
  EXPECT_TRUE(system.CreateDirectory("D:\\Backup\\B"));  // the rule failed once only
  EXPECT_TRUE(system.CreateDirectory("C:\\Other"));
  EXPECT_EQ(system.Calls(Operation::CreateDirectory), 4);

  system.Fail(Operation::Delete, {FileNamed("keep.txt")});
  drives.WriteFile("C:\\keep.txt", "k");
  drives.WriteFile("C:\\drop.txt", "d");
  EXPECT_FALSE(system.DeleteFile("C:\\keep.txt"));
  EXPECT_TRUE(system.DeleteFile("C:\\drop.txt"));
  EXPECT_TRUE(drives.Exists("C:\\keep.txt"));
}

TEST(FaultySystem, DiskFullCutsTheWriteThatCrossesTheLimit) {
  TempDrives drives;
  FaultySystem system(drives.System());
  system.DiskFullAfter(10);
  auto file = system.OpenFile("C:\\FileTblC.NVX", {OpenMode::CreateAlways, true, false});
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("123456", 6));
  EXPECT_FALSE(file->Write("abcdef", 6));
  EXPECT_FALSE(file->Write("z", 1));
  file->Close();
  EXPECT_EQ(drives.ReadFile("C:\\FileTblC.NVX"), "123456abcd");
}

TEST(FaultySystem, ShortCopiesAndReadOnlyRoots) {
  TempDrives drives;
  FaultySystem system(drives.System());
  drives.WriteFile("C:\\Work\\a.txt", "0123456789");
  drives.MakeDirectory("D:\\Work");
  system.ShortCopies();
  EXPECT_FALSE(system.CopyFile("C:\\Work\\a.txt", "D:\\Work\\a.txt", false));
  EXPECT_EQ(drives.ReadFile("D:\\Work\\a.txt"), "01234");

  system.Reset();
  system.ReadOnlyRoot('d');
  EXPECT_EQ(system.OpenFile("D:\\TestFile.NVX", {OpenMode::OpenAlways, true, true}), nullptr);
  EXPECT_FALSE(system.CreateDirectory("D:\\New"));
  EXPECT_FALSE(system.CopyFile("C:\\Work\\a.txt", "D:\\a.txt", false));
  EXPECT_FALSE(drives.Exists("D:\\TestFile.NVX"));
  EXPECT_TRUE(system.CopyFile("C:\\Work\\a.txt", "D:\\Work\\a.txt", false));  // below the root
  EXPECT_NE(system.OpenFile("C:\\TestFile.NVX", {OpenMode::OpenAlways, true, true}), nullptr);
}

TEST(FaultySystem, RecorderAndClock) {
  TempDrives drives;
  FaultySystem system(drives.System());
  system.RecorderAbsent();
  EXPECT_EQ(system.SendRecorderControl(0x12345678), platform::RecorderReply::None);
  EXPECT_EQ(system.RecorderCodes(), std::vector<std::uint32_t>{0x12345678});
  system.FixClock(1700000000);
  EXPECT_EQ(system.Now(), 1700000000);
  system.FixClock(std::nullopt);
  const std::time_t before = std::time(nullptr);
  const std::int64_t now = system.Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

}  // namespace
}  // namespace testing_support
