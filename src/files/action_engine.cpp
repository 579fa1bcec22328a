#include "files/action_engine.h"

#include <chrono>
#include <thread>

#include "files/action_texts.h"
#include "platform/system.h"
#include "scan/folder_info.h"
#include "scan/record_walk.h"
#include "shell/app_state.h"
#include "shell/prompter.h"

namespace files {
namespace {

bool IsDriveLetter(std::uint8_t letter) {
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool AnswerIsYes(shell::Prompter& prompter, const std::string& text) {
  shell::Message message;
  message.text = text;
  message.buttons = shell::Buttons::YesNo;
  message.icon = shell::Icon::None;
  return prompter.Ask(message) == shell::Answer::Yes;
}

std::string FolderMessage(const char* error, const std::string& source, const std::string& target) {
  return error + source + texts::kCantCreateFolder + target + texts::kContinueFolders;
}

std::string FileMessage(const char* error, const std::string& source, const std::string& target) {
  return error + source + texts::kCantCreateFile + target + texts::kContinueFiles;
}

}  // namespace

void ConfirmStop(ActionRunFlags& flags, shell::Prompter& prompter) {
  flags.ProcessingPaused = 1;
  if (AnswerIsYes(prompter, texts::kConfirmStop)) flags.ProcessingOn = 0;
  flags.ProcessingPaused = 0;
}

std::string BackupFolderOf(std::string_view folderPath, std::uint8_t backupDrive) {
  if (folderPath.empty() || !IsDriveLetter(backupDrive)) return {};
  std::string path(folderPath);
  path[0] = static_cast<char>(backupDrive >= 'a' ? backupDrive - ('a' - 'A') : backupDrive);
  return path;
}

ActionEngine::ActionEngine(platform::System& system, shell::AppState& state, ActionRunFlags& flags,
                           shell::Prompter& prompter, ActionProgress& progress)
    : system_(system), state_(state), flags_(flags), prompter_(prompter), progress_(progress),
      compression_(system) {}

bool ActionEngine::ActionWorker(scan::CFolderInfo& driveList) {
  ProcessFolder(driveList);
  flags_.OverwriteMode = kOverwriteSkip;
  RecalculateDrives(driveList);
  progress_.RefillList();
  progress_.ShowAction(texts::kIdleAction);
  progress_.ShowCurrentFile(texts::kIdleFile);
  const std::uint32_t pending = state_.PendingActionCount;
  progress_.ShowFilesToProcess(pending);
  flags_.ProcessingOn = 0;
  progress_.RunStopped(pending);
  if (pending != 0) return false;
  shell::Message message;
  message.text = texts::kAllProcessed;
  message.icon = shell::Icon::None;
  prompter_.Ask(message);
  return true;
}

void ActionEngine::RecalculateDrives(scan::CFolderInfo& driveList) {
  for (std::uint32_t i = 0; i < driveList.Count(); ++i) {
    scan::CFolderInfo* root = driveList.GetChild(i);
    if (root == nullptr || root->Count() == 0) continue;
    const std::string_view name = driveList.names(i);
    std::uint64_t clusterSize = 0;
    if (!name.empty()) {
      if (const auto space = system_.GetDiskFreeSpace(name[0])) clusterSize = space->ClusterSize();
    }
    root->Recalculate(clusterSize);
  }
  driveList.Reaggregate();
}

bool ActionEngine::MayStartEntry() const {
  if (flags_.ProcessingOn == 0) return false;
  while (flags_.ProcessingPaused != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // A stop confirmed while the engine waited takes effect before this entry.
  return flags_.ProcessingOn != 0;
}

void ActionEngine::ProcessFolder(scan::CFolderInfo& root) {
  // A folder's entry first, then the entries below it, without recursion. A stop holds
  // for the rest of the run, so it ends the whole walk.
  ShowPending();
  scan::WalkEntries(root, [this](scan::CFolderInfo& record, std::uint32_t i) {
    if (!MayStartEntry()) return scan::WalkStep::Stop;
    if (!record.IsFolder(i)) {
      ProcessFileEntry(record, i);
      return scan::WalkStep::Next;
    }
    ProcessFolderEntry(record, i);
    if (record.GetChild(i) == nullptr) return scan::WalkStep::Next;
    ShowPending();
    return scan::WalkStep::Descend;
  });
}

void ActionEngine::Begin(scan::CFolderInfo& record, std::uint32_t i, const char* actionText,
                         const std::string& path) {
  progress_.ShowAction(actionText);
  progress_.ShowCurrentFile(path);
  record.actions()[i] = 0;
}

void ActionEngine::ProcessFolderEntry(scan::CFolderInfo& record, std::uint32_t i) {
  const std::uint8_t action = record.actions()[i];
  // The path costs a walk up to the drive: none for the entries with nothing to do.
  if (action == kActionNone) return;
  const std::string path = record.path() + std::string(record.names(i));
  auto& state = record.states()[i];
  switch (action) {
    case kActionCompress:
      Begin(record, i, texts::kCompressingFolder, path);
      if (compression_.CompressFolder(path)) state = scan::kStateCompressed;
      break;
    case kActionDecompress:
      Begin(record, i, texts::kDecompressingFolder, path);
      if (compression_.DecompressFolder(path)) state = scan::kStateNormal;
      break;
    case kActionBackUp: {
      Begin(record, i, texts::kBackingUpFolder, path);
      const std::string backupFolder = BackupFolderOf(record.path(), record.backupDrives()[i]);
      const std::string target = backupFolder.empty() ? std::string() : backupFolder + std::string(record.names(i));
      if (EnsureFolder(target)) {
        state = scan::kStateBackedUp;
      } else {
        AskToContinue(FolderMessage(texts::kBackUpFolderError, path, target));
      }
      break;
    }
    case kActionRestore:
      Begin(record, i, texts::kRestoringFolder, path);
      if (EnsureFolder(path)) {
        state = scan::kStateNormal;
      } else {
        AskToContinue(FolderMessage(texts::kRestoreFolderError, path, path));
      }
      break;
    default:
      return;
  }
  ProcessStep(record, i);
}

void ActionEngine::ProcessFileEntry(scan::CFolderInfo& record, std::uint32_t i) {
  const std::uint8_t action = record.actions()[i];
  if (action == kActionNone) return;
  const std::string folder = record.path();
  const std::string path = folder + std::string(record.names(i));
  auto& state = record.states()[i];
  switch (action) {
    case kActionCompress:
      Begin(record, i, texts::kCompressingFile, path);
      if (compression_.CompressFile(path)) {
        const std::uint64_t compressed = system_.GetCompressedFileSize(path);
        if (compressed != platform::kInvalidFileSize) record.compressedSizes()[i] = compressed;
        state = scan::kStateCompressed;
      }
      break;
    case kActionDecompress:
      Begin(record, i, texts::kDecompressingFile, path);
      if (compression_.DecompressFile(path)) {
        record.compressedSizes()[i] = record.sizes()[i];
        state = scan::kStateNormal;
      }
      break;
    case kActionBackUp:
    case kActionRestore: {
      Begin(record, i, action == kActionBackUp ? texts::kBackingUpFile : texts::kRestoringFile, path);
      const std::string backupFolder = BackupFolderOf(folder, record.backupDrives()[i]);
      const std::string backupPath =
          backupFolder.empty() ? std::string() : backupFolder + std::string(record.names(i));
      if (action == kActionBackUp) {
        BackUpFile(record, i, backupFolder, path, backupPath);
      } else {
        RestoreFile(record, i, folder, backupPath, path);
      }
      break;
    }
    default:
      return;
  }
  ProcessStep(record, i);
}

void ActionEngine::BackUpFile(scan::CFolderInfo& record, std::uint32_t i, const std::string& folder,
                              const std::string& source, const std::string& target) {
  if (!EnsureFolder(folder)) {
    AskToContinue(FolderMessage(texts::kBackUpFolderError, record.path(), folder));
    return;
  }
  const auto sourceHost = system_.HostPath(source);
  const auto targetHost = system_.HostPath(target);
  // A backup drive that is the source's own drive would copy the file onto itself and
  // then empty the only copy.
  if (!sourceHost || !targetHost || *sourceHost == *targetHost) {
    AskToContinue(FileMessage(texts::kBackUpFileError, source, target));
    return;
  }
  bool copied = system_.CopyFile(source, target, true);
  if (!copied) {
    if (!system_.FileExists(target)) {
      AskToContinue(FileMessage(texts::kBackUpFileError, source, target));
      return;
    }
    if (AlreadyBackedUp(source, target)) {
      record.states()[i] = scan::kStateBackedUp;
      return;
    }
    if (!ConfirmOverwrite(target)) return;
    copied = system_.CopyFile(source, target, false);
    if (!copied) {
      AskToContinue(FileMessage(texts::kBackUpFileError, source, target));
      return;
    }
  }
  if (!CopiedCompletely(source, target)) {
    AskToContinue(FileMessage(texts::kBackUpFileError, source, target));
    return;
  }
  record.states()[i] = scan::kStateBackedUp;
  EmptyFile(source);
}

bool ActionEngine::ConfirmOverwrite(const std::string& target) {
  if (flags_.OverwriteMode != kOverwriteAll) {
    switch (progress_.AskOverwrite(target)) {
      case OverwriteAnswer::All: flags_.OverwriteMode = kOverwriteAll; break;
      case OverwriteAnswer::Overwrite: flags_.OverwriteMode = kOverwriteOne; break;
      case OverwriteAnswer::Skip: flags_.OverwriteMode = kOverwriteSkip; break;
      case OverwriteAnswer::Stop: ConfirmStop(flags_, prompter_); break;
    }
  }
  const std::uint8_t mode = flags_.OverwriteMode;
  return mode == kOverwriteAll || mode == kOverwriteOne;
}

bool ActionEngine::AlreadyBackedUp(const std::string& source, const std::string& target) const {
  // An emptied source beside a copy that holds data is what an earlier back-up left
  // behind: writing it over the copy would destroy the only one, whatever the answer.
  const auto sourceSize = system_.GetFileSize(source);
  const auto targetSize = system_.GetFileSize(target);
  return sourceSize && targetSize && *sourceSize == 0 && *targetSize != 0;
}

bool ActionEngine::CopiedCompletely(const std::string& source, const std::string& target) const {
  // The copy is flushed before CopyFile reports success; its length is checked too, so a
  // copy cut short by whatever means never leads to the source being emptied.
  const auto sourceSize = system_.GetFileSize(source);
  const auto targetSize = system_.GetFileSize(target);
  return sourceSize && targetSize && *sourceSize == *targetSize;
}

void ActionEngine::EmptyFile(const std::string& path) {
  platform::OpenOptions options;
  options.mode = platform::OpenMode::OpenExisting;
  options.write = true;
  if (auto file = system_.OpenFile(path, options)) {
    file->Truncate(0);
    file->Close();
  }
}

void ActionEngine::RestoreFile(scan::CFolderInfo& record, std::uint32_t i, const std::string& folder,
                               const std::string& source, const std::string& target) {
  if (!EnsureFolder(folder)) {
    AskToContinue(FolderMessage(texts::kRestoreFolderError, folder, folder));
    return;
  }
  const auto sourceHost = source.empty() ? std::nullopt : system_.HostPath(source);
  const auto targetHost = system_.HostPath(target);
  const bool copied = sourceHost && targetHost && *sourceHost != *targetHost &&
                      system_.CopyFile(source, target, false);
  if (copied) {
    record.states()[i] = scan::kStateNormal;
  } else {
    AskToContinue(FileMessage(texts::kRestoreFileError, target, target));
  }
}

void ActionEngine::ProcessStep(scan::CFolderInfo& record, std::uint32_t i) {
  record.hints()[i] = 0;
  progress_.StepProgress();
  // Never wraps below 0: a wrapped count would keep "Perform actions" enabled for nothing.
  std::uint32_t pending = state_.PendingActionCount;
  while (pending != 0 && !state_.PendingActionCount.compare_exchange_weak(pending, pending - 1)) {
  }
  ShowPending();
}

void ActionEngine::ShowPending() { progress_.ShowFilesToProcess(state_.PendingActionCount); }

void ActionEngine::AskToContinue(const std::string& text) {
  if (!AnswerIsYes(prompter_, text)) flags_.ProcessingOn = 0;
}

bool ActionEngine::EnsureFolder(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  // A drive's root folder exists whenever the drive does; refusing it would make every
  // file directly in a root impossible to back up or restore.
  if (path.size() == 2 && path[1] == ':') return system_.FileExists(path + '\\');
  if (path.size() < 2) return false;
  if (system_.FileExists(path)) return true;
  if (system_.CreateDirectory(path)) return true;
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return false;
  if (!EnsureFolder(path.substr(0, slash))) return false;
  return system_.CreateDirectory(path);
}

}  // namespace files
