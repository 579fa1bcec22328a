#pragma once
// A drive list with selected actions over temporary drives, a scripted prompter and a
// recording progress display, for the action engine's tests.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/action_engine.h"
#include "scan/folder_info.h"
#include "scan/record_walk.h"
#include "scan/record_path.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"
#include "support/temp_drives.h"

namespace engine_test {

class RecordingProgress : public files::ActionProgress {
 public:
  void ShowAction(const std::string& text) override { actions.push_back(text); }
  void ShowCurrentFile(const std::string& path) override {
    files.push_back(path);
    if (onFile) onFile(path);
  }
  void ShowFilesToProcess(std::uint32_t count) override { counts.push_back(count); }
  void StepProgress() override { ++steps; }
  files::OverwriteAnswer AskOverwrite(const std::string& existing, const std::string& replacement) override {
    overwriteAsked.push_back(existing);
    replacements.push_back(replacement);
    if (overwriteAnswers.empty()) return files::OverwriteAnswer::Skip;
    const files::OverwriteAnswer answer = overwriteAnswers.front();
    overwriteAnswers.pop_front();
    return answer;
  }
  void RefillList() override { ++refills; }
  void RunStopped(std::uint32_t pending) override { stoppedWith.push_back(pending); }

  std::vector<std::string> actions, files, overwriteAsked, replacements;
  std::vector<std::uint32_t> counts, stoppedWith;
  std::deque<files::OverwriteAnswer> overwriteAnswers;
  std::function<void(const std::string&)> onFile;
  int steps = 0;
  int refills = 0;
};

// Records of folders on the drives, with files added as scanned entries.
class SelectedActions {
 public:
  // Adds a file entry of `folder` ("C:\Work\") for a file that exists on the drives.
  std::uint32_t AddFile(std::string_view folder, std::string_view name, std::uint64_t size,
                        std::uint8_t action, std::uint8_t backupDrive = 0,
                        std::uint8_t state = scan::kStateNormal, const scan::FileTraits* traits = nullptr) {
    scan::CFolderInfo& record = scan::RecordForPath(driveList, folder);
    scan::NewEntry entry;
    entry.traits = traits;
    entry.source = static_cast<std::uint8_t>(folder[0]);
    entry.name = name;
    entry.size = size;
    entry.compressedSize = size;
    entry.kind = scan::kKindFile;
    record.AddEntry(entry);
    const std::uint32_t i = record.Count() - 1;
    Select(record, i, action, backupDrive, state);
    return i;
  }
  std::uint32_t AddFolder(std::string_view folder, std::string_view name, std::uint8_t action,
                          std::uint8_t backupDrive = 0) {
    scan::CFolderInfo& record = scan::RecordForPath(driveList, folder);
    scan::NewEntry entry;
    entry.name = name;
    entry.kind = scan::kKindFolder;
    record.AddEntry(entry);
    const std::uint32_t i = record.Count() - 1;
    Select(record, i, action, backupDrive, scan::kStateNormal);
    return i;
  }
  scan::CFolderInfo& Record(std::string_view folder) { return scan::RecordForPath(driveList, folder); }
  // Clears the actions a run left selected (those that failed or were skipped).
  void CancelLeft() {
    scan::WalkEntries(driveList, [](scan::CFolderInfo& record, std::uint32_t i) {
      record.actions()[i] = 0;
      return record.GetChild(i) ? scan::WalkStep::Descend : scan::WalkStep::Next;
    });
  }

  scan::CFolderInfo driveList;
  std::uint32_t selected = 0;

 private:
  void Select(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
              std::uint8_t backupDrive, std::uint8_t state) {
    record.actions()[i] = action;
    record.backupDrives()[i] = backupDrive;
    record.states()[i] = state;
    record.hints()[i] = 3;
    if (action != 0) ++selected;
  }
};

}  // namespace engine_test
