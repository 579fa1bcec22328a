#include "files/action_selection.h"

#include <algorithm>
#include <cctype>

#include "activity/app_state.h"
#include "activity/pending_actions.h"
#include "common/prompter.h"
#include "scan/record_walk.h"

namespace files {

void SetAction(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
               activity::AppState& state) {
  std::uint8_t& current = record.actions()[i];
  if (current == kActionNone && action != kActionNone) {
    state.PendingActionCount.fetch_add(1);
  } else if (current != kActionNone && action == kActionNone) {
    activity::LowerPendingActionCount(state.PendingActionCount);
  }
  current = action;
}

bool SelectionCommandEnabled(int command, bool listIsActiveView, bool listShowsFolder,
                             bool driveCompressible) {
  switch (command) {
    case kCmdCompress:
    case kCmdDecompress:
      return listShowsFolder && driveCompressible;
    case kCmdBackUp:
    case kCmdRestore:
    case kCmdCancelAction:
    case kCmdSetHint:
      return listIsActiveView;
    default:
      return false;
  }
}

char DriveLetterOf(const scan::CFolderInfo& record) {
  const std::string path = record.path();
  return path.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
}

namespace {

bool HasChild(const scan::CFolderInfo& record, std::uint32_t i) {
  return record.IsFolder(i) && record.GetChild(i) != nullptr;
}

}  // namespace

void ActionSelection::Run(int command, SelectionView& view, bool foldersPrepared) {
  setCount_ = 0;
  foldersPrepared_ = foldersPrepared;
  directoriesAnswered_ = foldersPrepared;
  switch (command) {
    case kCmdCompress: RunDirectoriesCommand(command, Rule::Compress, view); break;
    case kCmdDecompress: RunDirectoriesCommand(command, Rule::Decompress, view); break;
    case kCmdCancelAction: RunCancel(view); break;
    case kCmdBackUp: RunBackUpOrRestore(command, Rule::BackUp, view); break;
    case kCmdRestore: RunBackUpOrRestore(command, Rule::Restore, view); break;
    case kCmdSetHint: RunSetHint(view); break;
    default: break;
  }
}

void ActionSelection::Message(const char* text, bool stopIcon) {
  prompter_.Ask({text, common::Buttons::Ok, stopIcon ? common::Icon::Stop : common::Icon::None});
}

void ActionSelection::PrepareFoldersUnlessScanning(int command, SelectionView& view) {
  if (state_.ScanInProgress.load()) {
    Message(kWaitForScanText);
    return;
  }
  view.StartPrepareFolders(command);
}

ActionSelection::DirectoriesStep ActionSelection::AskForFolder(
    int command, bool preparesFolders, const scan::CFolderInfo& record, std::uint32_t i,
    SelectionView& view) {
  if (directoriesAnswered_ || !record.IsFolder(i)) return DirectoriesStep::GoOn;
  const auto choice = dialogs_.AskDirectories({flags_.SubfoldersToo, flags_.FilesInFoldersToo});
  if (!choice) return DirectoriesStep::Stop;
  flags_.SubfoldersToo = choice->subfoldersToo;
  flags_.FilesInFoldersToo = choice->filesInFoldersToo;
  directoriesAnswered_ = true;
  if (preparesFolders && flags_.SubfoldersToo) {
    // The folders below may not have been read yet: scan them first; the command is
    // run again once they are.
    PrepareFoldersUnlessScanning(command, view);
    return DirectoriesStep::Stop;
  }
  return DirectoriesStep::GoOn;
}

bool ActionSelection::Qualifies(Rule rule, const scan::CFolderInfo& record, std::uint32_t i) const {
  switch (rule) {
    case Rule::Compress: return record.states()[i] == scan::kStateNormal;
    case Rule::Decompress: return record.states()[i] == scan::kStateCompressed;
    case Rule::BackUp: return record.states()[i] != scan::kStateBackedUp;
    case Rule::Restore: return true;
    case Rule::Cancel: return record.actions()[i] != kActionNone;
  }
  return false;
}

void ActionSelection::Apply(Rule rule, scan::CFolderInfo& record, std::uint32_t i) {
  std::uint8_t action = kActionNone;
  switch (rule) {
    case Rule::Compress: action = kActionCompress; break;
    case Rule::Decompress: action = kActionDecompress; break;
    case Rule::BackUp: action = kActionBackUp; break;
    case Rule::Restore: action = kActionRestore; break;
    case Rule::Cancel: action = kActionNone; break;
  }
  if (rule == Rule::BackUp || rule == Rule::Restore) {
    record.backupDrives()[i] = static_cast<std::uint8_t>(flags_.BackupTarget.front());
  }
  SetAction(record, i, action, state_);
  ++setCount_;
}

void ActionSelection::ApplyShown(Rule rule, scan::CFolderInfo& record, std::uint32_t i,
                                 SelectionView& view) {
  Apply(rule, record, i);
  view.ActionChanged(i);
}

// Both walks settle a folder's entry after the entries below it, without recursion.
void ActionSelection::RecurseDirectories(Rule rule, scan::CFolderInfo& root) {
  const auto settle = [&](scan::CFolderInfo& record, std::uint32_t i) {
    const bool reached = record.IsFolder(i) ? flags_.SubfoldersToo : flags_.FilesInFoldersToo;
    if (reached && Qualifies(rule, record, i)) Apply(rule, record, i);
  };
  scan::WalkEntries(
      root,
      [&](scan::CFolderInfo& record, std::uint32_t i) {
        if (record.IsFolder(i) && flags_.SubfoldersToo && record.GetChild(i) != nullptr) {
          return scan::WalkStep::Descend;
        }
        settle(record, i);
        return scan::WalkStep::Next;
      },
      settle);
}

void ActionSelection::RecurseBackup(Rule rule, scan::CFolderInfo& root) {
  const std::uint8_t letter = static_cast<std::uint8_t>(flags_.BackupTarget.front());
  const auto settle = [&](scan::CFolderInfo& record, std::uint32_t i) {
    if (!Qualifies(rule, record, i)) return;
    record.backupDrives()[i] = letter;
    if (!record.IsFolder(i) || flags_.IncludeSubfolders) Apply(rule, record, i);
  };
  scan::WalkEntries(
      root,
      [&](scan::CFolderInfo& record, std::uint32_t i) {
        if (record.IsFolder(i) && flags_.IncludeSubfolders && record.GetChild(i) != nullptr) {
          return scan::WalkStep::Descend;
        }
        settle(record, i);
        return scan::WalkStep::Next;
      },
      settle);
}

void ActionSelection::RecurseForSelected(Rule rule, scan::CFolderInfo& record, std::uint32_t i) {
  if (!HasChild(record, i)) return;
  if (rule == Rule::BackUp || rule == Rule::Restore) {
    RecurseBackup(rule, *record.GetChild(i));
  } else if (flags_.SubfoldersToo || flags_.FilesInFoldersToo) {
    RecurseDirectories(rule, *record.GetChild(i));
  }
}

void ActionSelection::RunDirectoriesCommand(int command, Rule rule, SelectionView& view) {
  scan::CFolderInfo* record = view.ShownRecord();
  if (record) {
    for (const std::uint32_t i : view.SelectedEntries()) {
      if (AskForFolder(command, true, *record, i, view) == DirectoriesStep::Stop) return;
      RecurseForSelected(rule, *record, i);
      if (Qualifies(rule, *record, i)) ApplyShown(rule, *record, i, view);
    }
  }
  if (setCount_ == 0) {
    Message(rule == Rule::Compress ? kNothingToCompressText : kNothingToDecompressText);
  }
}

void ActionSelection::RunCancel(SelectionView& view) {
  if (scan::CFolderInfo* record = view.ShownRecord()) {
    for (const std::uint32_t i : view.SelectedEntries()) {
      if (AskForFolder(kCmdCancelAction, false, *record, i, view) == DirectoriesStep::Stop) break;
      RecurseForSelected(Rule::Cancel, *record, i);
      if (Qualifies(Rule::Cancel, *record, i)) ApplyShown(Rule::Cancel, *record, i, view);
    }
  }
}

bool ActionSelection::AskBackupOnce(bool& asked, char backsUpFrom) {
  if (asked) return true;
  const auto choice =
      dialogs_.AskBackup({flags_.IncludeSubfolders, flags_.BackupTarget}, backsUpFrom);
  // Without a drive there is no letter to back up to: such a choice changes nothing.
  if (!choice || choice->backupTarget.empty()) return false;
  flags_.IncludeSubfolders = choice->includeSubfolders;
  flags_.BackupTarget = choice->backupTarget;
  asked = true;
  return true;
}

void ActionSelection::RunBackUpOrRestore(int command, Rule rule, SelectionView& view) {
  if (!foldersPrepared_) {
    bool asked = false;
    const scan::CFolderInfo* shown = view.ShownRecord();
    const char backsUpFrom = rule == Rule::BackUp && shown ? DriveLetterOf(*shown) : '\0';
    if (!AskBackupOnce(asked, backsUpFrom)) return;
    if (flags_.IncludeSubfolders) {
      PrepareFoldersUnlessScanning(command, view);
      return;
    }
  }
  // A target kept from an earlier run is never empty; this guards a prepared run without one.
  if (flags_.BackupTarget.empty()) return;

  if (scan::CFolderInfo* record = view.ShownRecord()) {
    const char target =
        static_cast<char>(std::toupper(static_cast<unsigned char>(flags_.BackupTarget.front())));
    for (const std::uint32_t i : view.SelectedEntries()) {
      if (rule == Rule::BackUp && target == DriveLetterOf(*record)) {
        Message(kBackUpToCurrentDiskText, true);
        return;
      }
      RecurseForSelected(rule, *record, i);
      if (Qualifies(rule, *record, i)) ApplyShown(rule, *record, i, view);
    }
  }
  if (setCount_ == 0) {
    Message(rule == Rule::BackUp ? kNothingToBackUpText : kNothingToRestoreText);
  }
}

void ActionSelection::RunSetHint(SelectionView& view) {
  bool backupAsked = false;
  if (scan::CFolderInfo* record = view.ShownRecord()) {
    for (const std::uint32_t i : view.SelectedEntries()) {
      if (AskForFolder(kCmdSetHint, true, *record, i, view) == DirectoriesStep::Stop) return;
      const std::uint8_t action = record->actions()[i];
      switch (record->hints()[i]) {
        case 0:
          if (action != kActionNone) ApplyShown(Rule::Cancel, *record, i, view);
          break;
        case kActionCompress:
        case kActionDecompress: {
          const bool compress = record->hints()[i] == kActionCompress;
          const Rule rule = compress ? Rule::Compress : Rule::Decompress;
          RecurseForSelected(rule, *record, i);
          if (action != record->hints()[i] && Qualifies(rule, *record, i)) {
            ApplyShown(rule, *record, i, view);
          }
          break;
        }
        case kActionBackUp:
          if (!AskBackupOnce(backupAsked, DriveLetterOf(*record))) return;
          if (flags_.IncludeSubfolders) RecurseForSelected(Rule::BackUp, *record, i);
          if (record->states()[i] != scan::kStateBackedUp && action != kActionBackUp) {
            ApplyShown(Rule::BackUp, *record, i, view);
          }
          break;
        case kActionRestore:
          if (!AskBackupOnce(backupAsked, DriveLetterOf(*record))) return;
          if (flags_.IncludeSubfolders) RecurseForSelected(Rule::Restore, *record, i);
          if (record->states()[i] == scan::kStateBackedUp && action != kActionRestore) {
            ApplyShown(Rule::Restore, *record, i, view);
          }
          break;
        default:
          break;
      }
    }
  }
}

}  // namespace files
