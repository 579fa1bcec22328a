// The hand-off file's exact bytes, and the reader's refusal of damaged files.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "scan/folder_info.h"
#include "shell/handoff_file.h"
#include "support/temp_drives.h"

namespace shell {
namespace {

using scan::CFolderInfo;
using Bytes = std::vector<std::uint8_t>;

CFolderInfo& AddFolder(CFolderInfo& parent, std::string_view name, std::uint8_t action = 0) {
  parent.AddEntry({scan::kSourceSubfolder, name, 0, 0, 0, scan::kKindFolder});
  const std::uint32_t i = parent.Count() - 1;
  parent.actions()[i] = action;
  return *parent.GetChild(i);
}

void AddFile(CFolderInfo& parent, std::string_view name, std::uint8_t action, std::uint8_t backup = 0) {
  parent.AddEntry({'C', name, 10, 10, 4096, scan::kKindFile});
  const std::uint32_t i = parent.Count() - 1;
  parent.actions()[i] = action;
  parent.backupDrives()[i] = backup;
}

void AppendRecord(Bytes& out, std::string_view path, std::uint8_t action, std::uint8_t kind,
                  std::uint8_t backup) {
  out.push_back(static_cast<std::uint8_t>(path.size()));
  out.push_back(static_cast<std::uint8_t>(path.size() >> 8));
  out.insert(out.end(), path.begin(), path.end());
  out.insert(out.end(), {action, kind, backup});
}

TEST(HandOffFile, TwoFilesOfOneFolder) {
  CFolderInfo driveList;
  CFolderInfo& c = AddFolder(driveList, "C:");
  CFolderInfo& work = AddFolder(c, "Work");
  AddFile(work, "a.txt", 1);
  AddFile(work, "skip.txt", 0);
  AddFile(work, "b.doc", 4, 'D');

  Bytes expected = {2, 0, 0, 0};
  AppendRecord(expected, "C:\\Work\\a.txt", 1, 15, 0);
  AppendRecord(expected, "C:\\Work\\b.doc", 4, 15, 'D');
  EXPECT_EQ(EncodeHandOff(driveList, 2), expected);
}

TEST(HandOffFile, FolderBeforeItsContentsAndDepthFirst) {
  CFolderInfo driveList;
  CFolderInfo& d = AddFolder(driveList, "D:", 2);
  CFolderInfo& sub = AddFolder(d, "Sub", 1);
  AddFile(sub, "x", 1);
  AddFile(d, "after", 8, 'E');
  AddFolder(driveList, "E:");  // never scanned: contributes nothing

  Bytes expected = {4, 0, 0, 0};
  AppendRecord(expected, "D:", 2, 1, 0);
  AppendRecord(expected, "D:\\Sub", 1, 1, 0);
  AppendRecord(expected, "D:\\Sub\\x", 1, 15, 0);
  AppendRecord(expected, "D:\\after", 8, 15, 'E');
  const Bytes bytes = EncodeHandOff(driveList, 4);
  EXPECT_EQ(bytes, expected);

  std::string error;
  const auto table = DecodeHandOff(bytes, &error);
  ASSERT_TRUE(table) << error;
  EXPECT_EQ(table->count, 4u);
  ASSERT_EQ(table->entries.size(), 4u);
  EXPECT_EQ(table->entries[3], (HandOffEntry{"D:\\after", 8, 15, 'E'}));
}

TEST(HandOffFile, NoActionsGiveTheCountAlone) {
  CFolderInfo driveList;
  AddFile(AddFolder(driveList, "C:"), "a", 0);
  EXPECT_EQ(EncodeHandOff(driveList, 0), (Bytes{0, 0, 0, 0}));
}

TEST(HandOffFile, ReaderRefusesDamagedFiles) {
  Bytes good = {1, 0, 0, 0};
  AppendRecord(good, "C:\\a", 1, 15, 0);
  std::string error;
  ASSERT_TRUE(DecodeHandOff(good, &error)) << error;

  const auto refused = [&](Bytes bytes) {
    error.clear();
    return !DecodeHandOff(bytes, &error) && !error.empty();
  };
  EXPECT_TRUE(refused({1, 0, 0}));
  EXPECT_TRUE(refused(Bytes(good.begin(), good.end() - 1))) << "cut short";
  Bytes tooLong = good;
  tooLong[4] = 0xFF;  // a length past the end
  EXPECT_TRUE(refused(tooLong));
  Bytes trailing = good;
  trailing.push_back(7);
  EXPECT_TRUE(refused(trailing)) << "half a length";

  const auto one = [](std::string_view path, std::uint8_t action, std::uint8_t kind, std::uint8_t backup) {
    Bytes bytes = {1, 0, 0, 0};
    AppendRecord(bytes, path, action, kind, backup);
    return bytes;
  };
  EXPECT_TRUE(refused(one("", 1, 15, 0)));
  EXPECT_TRUE(refused(one("a.txt", 1, 15, 0)));
  EXPECT_TRUE(refused(one("C:\\", 1, 15, 0)));
  EXPECT_TRUE(refused(one(std::string_view("C:\\a\0b", 6), 1, 15, 0)));
  // The host reads '/' as a separator too: "C:\\a/b" would be a second name of
  // "C:\\a\\b", whose back-up could then be made twice, the second from the emptied file.
  EXPECT_TRUE(refused(one("C:\\a/b", 4, 15, 'D')));
  EXPECT_TRUE(refused(one("C:\\a", 3, 15, 0))) << "two actions at once";
  EXPECT_TRUE(refused(one("C:\\a", 0, 15, 0)));
  EXPECT_TRUE(refused(one("C:\\a", 1, 2, 0)));
  EXPECT_TRUE(refused(one("C:\\a", 4, 15, 0))) << "back-up without a drive";
  EXPECT_FALSE(refused(one("C:\\a", 8, 15, 'Z')));
}

TEST(HandOffFile, WrittenFileReadsBackAndReplacesTheOld) {
  testing_support::TempDrives drives("C");
  CFolderInfo driveList;
  AddFile(AddFolder(driveList, "C:"), "a", 2);
  const Bytes bytes = EncodeHandOff(driveList, 1);
  std::ofstream(drives.Dir() + "/ShadowTbl.NVX") << "an older, longer hand-off file";
  ASSERT_TRUE(WriteHandOffFile(drives.Dir(), bytes));
  std::ifstream in(drives.Dir() + "/ShadowTbl.NVX", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), bytes);
  std::string error;
  const auto table = ReadHandOffFile(drives.Dir() + "/ShadowTbl.NVX", &error);
  ASSERT_TRUE(table) << error;
  EXPECT_EQ(table->entries.front().path, "C:\\a");
  EXPECT_FALSE(ReadHandOffFile(drives.Dir() + "/ShadowTbl.NVX", &error, 5)) << "size limit";
  EXPECT_FALSE(WriteHandOffFile(drives.Dir() + "/missing", bytes));
}

}  // namespace
}  // namespace shell
