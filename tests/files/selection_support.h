#pragma once
// A Files list and the two dialogs played by scripts, over a small scan model:
//   C:\Work\ holding a.txt, b.txt, Sub\ (x.txt, Deep\ (y.txt)), c.txt

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "files/action_selection.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "shell/scripted_prompter.h"

namespace selection_testing {

class ScriptedDialogs : public files::SelectionDialogs {
 public:
  std::optional<files::DirectoriesChoice> AskDirectories(
      const files::DirectoriesChoice& shown) override {
    directoriesShown.push_back(shown);
    if (directoriesAnswers.empty()) return shown;
    auto answer = directoriesAnswers.front();
    directoriesAnswers.pop_front();
    return answer;
  }
  std::optional<files::BackupChoice> AskBackup(const files::BackupChoice& shown,
                                               char backsUpFrom) override {
    backupShown.push_back(shown);
    backsUpFromShown.push_back(backsUpFrom);
    if (backupAnswers.empty()) return std::nullopt;
    auto answer = backupAnswers.front();
    backupAnswers.pop_front();
    return answer;
  }

  std::deque<std::optional<files::DirectoriesChoice>> directoriesAnswers;
  std::vector<files::DirectoriesChoice> directoriesShown;
  std::deque<std::optional<files::BackupChoice>> backupAnswers;
  std::vector<files::BackupChoice> backupShown;
  std::vector<char> backsUpFromShown;
};

class FakeList : public files::SelectionView {
 public:
  scan::CFolderInfo* ShownRecord() override { return record; }
  std::vector<std::uint32_t> SelectedEntries() const override { return selected; }
  void ActionChanged(std::uint32_t entry) override { rewritten.push_back(entry); }
  void StartPrepareFolders(int command) override { prepared.push_back(command); }

  scan::CFolderInfo* record = nullptr;
  std::vector<std::uint32_t> selected;
  std::vector<std::uint32_t> rewritten;
  std::vector<int> prepared;  // commands waiting for their folders to be scanned
};

// Entry indices of the shown folder C:\Work\.
enum WorkEntry : std::uint32_t { kA = 0, kB = 1, kSub = 2, kC = 3 };
// Entry indices inside Sub\.
enum SubEntry : std::uint32_t { kX = 0, kDeep = 1 };

struct SelectionFixture {
  SelectionFixture();

  scan::CFolderInfo& Sub() { return *work->GetChild(kSub); }
  scan::CFolderInfo& Deep() { return *Sub().GetChild(kDeep); }
  void Send(int command) { selection.Run(command, list); }
  // What the list does once the folders are scanned.
  void FinishPreparing() { selection.Run(list.prepared.back(), list, /*foldersPrepared=*/true); }
  void Select(std::vector<std::uint32_t> entries) { list.selected = std::move(entries); }

  activity::AppState state;
  files::SelectionFlags flags;
  ScriptedDialogs dialogs;
  testing_support::ScriptedPrompter prompter;
  files::ActionSelection selection{state, flags, dialogs, prompter};
  scan::CFolderInfo driveList;
  scan::CFolderInfo* work = nullptr;
  FakeList list;
};

}  // namespace selection_testing
