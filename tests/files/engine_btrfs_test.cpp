// Compressing and decompressing through the engine on a real btrfs drive.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "engine_support.h"
#include "files/action_engine.h"
#include "support/image_drive.h"

namespace {

using engine_test::RecordingProgress;
using engine_test::SelectedActions;
using testing_support::ImageDrive;
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
  ImageDrive btrfs(drives, 'D', platform::ImageFormat::Btrfs);
  if (!btrfs.Mounted()) GTEST_SKIP() << btrfs.WhyNot();
  constexpr std::size_t kSize = 4 * 1024 * 1024;
  const std::string text = RepetitiveText(kSize);
  drives.WriteFile("D:\\Ledgers\\2026.txt", text);

  activity::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;
  const auto folder = selection.AddFolder("D:\\", "Ledgers", files::kActionCompress);
  const auto file = selection.AddFile("D:\\Ledgers\\", "2026.txt", kSize, files::kActionCompress);
  auto run = [&] {
    state.PendingActionCount = 2;
    flags.ProcessingOn = 1;
    files::ActionEngine engine(drives.System(), state.PendingActionCount, flags, prompter, progress);
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

// Another process with the file open for writing, until Release.
class OtherWriter {
 public:
  explicit OtherWriter(const std::string& hostPath) {
    int ready[2], release[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(release), 0);
    child_ = ::fork();
    if (child_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      const int fd = ::open(hostPath.c_str(), O_WRONLY);
      const char opened = fd >= 0 ? 'y' : 'n';
      if (::write(ready[1], &opened, 1) != 1) ::_exit(2);
      char ignored;
      while (::read(release[0], &ignored, 1) > 0) {}
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char opened = 'n';
    EXPECT_EQ(::read(ready[0], &opened, 1), 1);
    EXPECT_EQ(opened, 'y') << "the other process could not open " << hostPath;
    ::close(ready[0]);
  }
  ~OtherWriter() { Release(); }
  void Release() {
    if (child_ <= 0) return;
    ::close(release_);
    int status = 0;
    ::waitpid(child_, &status, 0);
    child_ = -1;
  }

 private:
  pid_t child_ = -1;
  int release_ = -1;
};

TEST(EngineBtrfs, DecompressionIsRefusedWhileAnotherProcessHasTheFileOpen) {
  // The data is rewritten in this process: a write made elsewhere between the read and
  // the write back would be lost.
  TempDrives drives("CD");
  ImageDrive btrfs(drives, 'D', platform::ImageFormat::Btrfs);
  if (!btrfs.Mounted()) GTEST_SKIP() << btrfs.WhyNot();
  constexpr std::size_t kSize = 2 * 1024 * 1024;
  const std::string text = RepetitiveText(kSize);
  const std::string path = "D:\\Ledgers\\open.txt";
  drives.WriteFile(path, text);
  ASSERT_TRUE(drives.System().SetCompression(path, true));
  const std::uint64_t compressed = drives.System().GetCompressedFileSize(path);
  ASSERT_LT(compressed, kSize / 4);

  activity::AppState state;
  files::ActionRunFlags flags;
  testing_support::ScriptedPrompter prompter;
  RecordingProgress progress;
  SelectedActions selection;
  const auto i = selection.AddFile("D:\\Ledgers\\", "open.txt", kSize, files::kActionDecompress, 0,
                                   scan::kStateCompressed);
  scan::CFolderInfo& ledgers = selection.Record("D:\\Ledgers\\");
  auto run = [&] {
    state.PendingActionCount = 1;
    flags.ProcessingOn = 1;
    files::ActionEngine engine(drives.System(), state.PendingActionCount, flags, prompter, progress);
    return engine.ActionWorker(selection.driveList);
  };

  OtherWriter writer(drives.Host(path));
  EXPECT_FALSE(run()) << "a refused decompression is silent";
  EXPECT_EQ(ledgers.states()[i], scan::kStateCompressed);
  EXPECT_EQ(ledgers.actions()[i], files::kActionDecompress);
  EXPECT_EQ(progress.steps, 1);
  EXPECT_EQ(drives.System().GetCompressedFileSize(path), compressed) << "the data was rewritten";
  EXPECT_EQ(drives.ReadFile(path), text);

  writer.Release();
  EXPECT_TRUE(run());
  EXPECT_EQ(ledgers.states()[i], scan::kStateNormal);
  EXPECT_EQ(drives.System().GetCompressedFileSize(path), kSize);
  EXPECT_EQ(drives.ReadFile(path), text);
}

}  // namespace
