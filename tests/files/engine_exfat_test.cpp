// Back-ups onto and from an exFAT drive (through FUSE, as a machine without the kernel's
// driver mounts one): it has no links, no rename that refuses to replace, no permissions,
// no extended attributes, and names that ignore case.

#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_safety.h"
#include "support/image_drive.h"

namespace {

using engine_test::EngineSafety;
using engine_test::kBackUp;
using engine_test::kRestore;
using engine_test::LinkStat;
using platform::ImageFormat;
using testing_support::ImageDrive;

std::vector<std::string> Listing(const std::string& host) {
  std::vector<std::string> names;
  DIR* folder = ::opendir(host.c_str());
  if (folder == nullptr) return names;
  while (const dirent* entry = ::readdir(folder)) {
    if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
  }
  ::closedir(folder);
  return names;
}

using Exfat = EngineSafety;

TEST_F(Exfat, BacksUpOntoItAndRestoresWithTheModeTheStubKept) {
  ImageDrive exfat(drives, 'E', ImageFormat::Exfat);
  if (!exfat.Mounted()) GTEST_SKIP() << exfat.WhyNot();
  drives.WriteFile("C:\\Work\\tool", "#!/bin/sh\necho tool\n");
  const std::string tool = drives.Host("C:\\Work\\tool");
  ASSERT_EQ(::chmod(tool.c_str(), 04750), 0);
  Select("C:\\Work\\", "tool", kBackUp);
  ASSERT_TRUE(Run()) << Shown();

  EXPECT_EQ(drives.ReadFile("E:\\Work\\tool"), "#!/bin/sh\necho tool\n");
  EXPECT_EQ(Listing(drives.Host("E:\\Work")), std::vector<std::string>{"tool"}) << "a claimed or temporary name was left";
  EXPECT_EQ(LinkStat(tool).st_size, 0);

  Select("C:\\Work\\", "tool", kRestore);
  ASSERT_TRUE(Run()) << Shown();
  EXPECT_EQ(drives.ReadFile("C:\\Work\\tool"), "#!/bin/sh\necho tool\n");
  EXPECT_EQ(LinkStat(tool).st_mode & 07777, 04750u);
}

// A copy there reads as everyone's and executable: restored with its stub gone, the file
// is made private, in a folder made private, and is not made a program.
TEST_F(Exfat, RestoredWithoutItsStubTheFileIsPrivateNotEveryonesProgram) {
  ImageDrive exfat(drives, 'E', ImageFormat::Exfat);
  if (!exfat.Mounted()) GTEST_SKIP() << exfat.WhyNot();
  drives.WriteFile("C:\\Work\\Deep\\letter.txt", "dear");
  Select("C:\\Work\\Deep\\", "letter.txt", kBackUp);
  ASSERT_TRUE(Run()) << Shown();
  testing_support::RemoveTree(drives.Host("C:\\Work\\Deep"));

  Select("C:\\Work\\Deep\\", "letter.txt", kRestore);
  ASSERT_TRUE(Run()) << Shown();
  EXPECT_EQ(drives.ReadFile("C:\\Work\\Deep\\letter.txt"), "dear");
  EXPECT_EQ(LinkStat(drives.Host("C:\\Work\\Deep\\letter.txt")).st_mode & 07777, 0600u);
  EXPECT_EQ(LinkStat(drives.Host("C:\\Work\\Deep")).st_mode & 07777, 0700u);
}

TEST_F(Exfat, NamesThatDifferOnlyInCaseAreRefusedNeverOverwritten) {
  ImageDrive exfat(drives, 'E', ImageFormat::Exfat);
  if (!exfat.Mounted()) GTEST_SKIP() << exfat.WhyNot();
  drives.WriteFile("C:\\Work\\Notes.txt", "first");
  drives.WriteFile("C:\\Work\\notes.txt", "second");
  Select("C:\\Work\\", "Notes.txt", kBackUp);
  const auto twin = Select("C:\\Work\\", "notes.txt", kBackUp);
  progress.overwriteAnswers.assign(2, files::OverwriteAnswer::All);
  prompter.answers.assign(2, common::Answer::Yes);
  Run();

  EXPECT_EQ(Listing(drives.Host("E:\\Work")), std::vector<std::string>{"Notes.txt"});
  EXPECT_EQ(drives.ReadFile("E:\\Work\\Notes.txt"), "first");
  EXPECT_EQ(drives.ReadFile("C:\\Work\\notes.txt"), "second");
  EXPECT_NE(selection.Record("C:\\Work\\").states()[twin], scan::kStateBackedUp);
  EXPECT_NE(Shown().find("does not tell upper and lower case apart, and Notes.txt is there"), std::string::npos)
      << Shown();
}

TEST_F(Exfat, ASourceDriveThatCannotKeepTheStubMarkIsRefused) {
  ImageDrive exfat(drives, 'C', ImageFormat::Exfat);
  if (!exfat.Mounted()) GTEST_SKIP() << exfat.WhyNot();
  drives.WriteFile("C:\\Work\\a.txt", "precious");
  Select("C:\\Work\\", "a.txt", kBackUp);
  Run();

  EXPECT_EQ(drives.ReadFile("C:\\Work\\a.txt"), "precious");
  EXPECT_FALSE(drives.Exists("E:\\Work\\a.txt"));
  EXPECT_NE(Shown().find("cannot keep the mark that tells a back-up stub"), std::string::npos) << Shown();
}

}  // namespace
