// Compressing and decompressing through the engine on a real btrfs drive.

#include <string>

#include <gtest/gtest.h>

#include "engine_support.h"
#include "files/action_engine.h"
#include "support/btrfs_drive.h"

namespace {

using engine_test::RecordingProgress;
using engine_test::SelectedActions;
using testing_support::BtrfsDrive;
using testing_support::TempDrives;

std::string RepetitiveText(std::size_t size) {
  std::string text;
  for (std::size_t line = 0; text.size() < size; ++line) {
    text += "entry " + std::to_string(line % 500) + " of a long and repetitive ledger\n";
  }
  text.resize(size);
  return text;
}

TEST(EngineBtrfs, CompressesAndDecompressesFilesAndFoldersForReal) {
  TempDrives drives("CD");
  BtrfsDrive btrfs(drives, 'D');
  if (!btrfs.Mounted()) GTEST_SKIP() << btrfs.WhyNot();
  constexpr std::size_t kSize = 4 * 1024 * 1024;
  const std::string text = RepetitiveText(kSize);
  drives.WriteFile("D:\\Ledgers\\2026.txt", text);

  shell::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;
  const auto folder = selection.AddFolder("D:\\", "Ledgers", files::kActionCompress);
  const auto file = selection.AddFile("D:\\Ledgers\\", "2026.txt", kSize, files::kActionCompress);
  auto run = [&] {
    state.PendingActionCount = 2;
    flags.ProcessingOn = 1;
    files::ActionEngine engine(drives.System(), state, flags, prompter, progress);
    return engine.ActionWorker(selection.driveList);
  };

  ASSERT_TRUE(run());
  scan::CFolderInfo& ledgers = selection.Record("D:\\Ledgers\\");
  EXPECT_EQ(selection.Record("D:\\").states()[folder], scan::kStateCompressed);
  EXPECT_EQ(ledgers.states()[file], scan::kStateCompressed);
  const std::uint64_t compressed = ledgers.compressedSizes()[file];
  EXPECT_LT(compressed, kSize / 4) << "the file was not really compressed";
  EXPECT_EQ(compressed, drives.System().GetCompressedFileSize("D:\\Ledgers\\2026.txt"));
  EXPECT_EQ(ledgers.totalCompressedSize, compressed) << "the drive is recalculated after the run";

  selection.Record("D:\\").actions()[folder] = files::kActionDecompress;
  ledgers.actions()[file] = files::kActionDecompress;
  ASSERT_TRUE(run());
  EXPECT_EQ(ledgers.states()[file], scan::kStateNormal);
  EXPECT_EQ(ledgers.compressedSizes()[file], kSize);
  EXPECT_EQ(drives.System().GetCompressedFileSize("D:\\Ledgers\\2026.txt"), kSize)
      << "the file was not really decompressed";
  EXPECT_EQ(drives.ReadFile("D:\\Ledgers\\2026.txt"), text);
}

}  // namespace
