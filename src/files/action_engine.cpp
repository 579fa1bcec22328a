#include "files/action_engine.h"

#include <chrono>
#include <thread>

#include "files/action_texts.h"
#include "platform/system.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"
#include "activity/pending_actions.h"
#include "common/prompter.h"
#include "scan/record_walk.h"

namespace files {
namespace {

bool IsDriveLetter(std::uint8_t letter) {
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool AnswerIsYes(common::Prompter& prompter, const std::string& text) {
  common::Message message;
  message.text = text;
  message.buttons = common::Buttons::YesNo;
  message.icon = common::Icon::None;
  return prompter.Ask(message) == common::Answer::Yes;
}

std::string FolderMessage(const char* error, const std::string& source, const std::string& target) {
  return error + source + texts::kCantCreateFolder + target + texts::kContinueFolders;
}

std::string FileMessage(const char* error, const std::string& source, const std::string& target) {
  return error + source + texts::kCantCreateFile + target + texts::kContinueFiles;
}

}  // namespace

void ConfirmStop(ActionRunFlags& flags, common::Prompter& prompter) {
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

ActionEngine::ActionEngine(platform::System& system, activity::AppState& state, ActionRunFlags& flags,
                           common::Prompter& prompter, ActionProgress& progress)
    : system_(system), state_(state), flags_(flags), prompter_(prompter), progress_(progress),
      compression_(system) {}

bool ActionEngine::ActionWorker(scan::CFolderInfo& driveList) {
  ProcessFolder(driveList);
  flags_.OverwriteMode = kOverwriteSkip;
  flags_.RestoreOverwriteMode = kOverwriteSkip;
  RecalculateDrives(driveList);
  progress_.RefillList();
  progress_.ShowAction(texts::kIdleAction);
  progress_.ShowCurrentFile(texts::kIdleFile);
  const std::uint32_t pending = state_.PendingActionCount;
  progress_.ShowFilesToProcess(pending);
  flags_.ProcessingOn = 0;
  progress_.RunStopped(pending);
  if (pending != 0) return false;
  common::Message message;
  message.text = texts::kAllProcessed;
  message.icon = common::Icon::None;
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
      if (compression_.CompressFile(path)) state = scan::kStateCompressed;
      break;
    case kActionDecompress:
      Begin(record, i, texts::kDecompressingFile, path);
      if (compression_.DecompressFile(path)) state = scan::kStateNormal;
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
  RereadFacts(record, i, path);
  ProcessStep(record, i);
}

void ActionEngine::RereadFacts(scan::CFolderInfo& record, std::uint32_t i, const std::string& path) {
  const auto size = system_.GetFileSize(path);
  if (!size) return;  // gone or unreadable: the figures of the scan stay
  const std::uint64_t compressed = system_.GetCompressedFileSize(path);
  record.sizes()[i] = *size;
  record.compressedSizes()[i] = compressed == platform::kInvalidFileSize ? *size : compressed;
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
      MarkStub(source, true);
      return;
    }
    if (!ConfirmOverwrite(target, flags_.OverwriteMode)) return;
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
  // A copy is never a stub, whatever marks the source carried.
  MarkStub(target, false);
  record.states()[i] = scan::kStateBackedUp;
  EmptyToStub(source);
}

bool ActionEngine::ConfirmOverwrite(const std::string& existing, std::atomic<std::uint8_t>& mode) {
  while (mode != kOverwriteAll) {
    const OverwriteAnswer answer = progress_.AskOverwrite(existing);
    if (answer == OverwriteAnswer::Stop) {
      // A confirmed stop ends the run with nothing more changed, whatever was answered
      // before; an unconfirmed one leaves this file's question open, so it is asked again
      // rather than decided by an earlier answer about another file.
      ConfirmStop(flags_, prompter_);
      if (flags_.ProcessingOn == 0) return false;
      continue;
    }
    mode = answer == OverwriteAnswer::All         ? kOverwriteAll
           : answer == OverwriteAnswer::Overwrite ? kOverwriteOne
                                                  : kOverwriteSkip;
    break;
  }
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

void ActionEngine::EmptyToStub(const std::string& path) {
  // Marked before it is emptied: an end in between leaves a full file whose mark nothing
  // reads (only empty files are asked), never a stub that looks like an empty file.
  const bool marked = MarkStub(path, true);
  platform::OpenOptions options;
  options.mode = platform::OpenMode::OpenExisting;
  options.write = true;
  auto file = system_.OpenFile(path, options);
  const bool emptied = file && file->Truncate(0) && file->Close();
  if (!emptied && marked) MarkStub(path, false);
}

bool ActionEngine::MarkStub(const std::string& path, bool stub) {
  const std::uint32_t attributes = system_.GetFileAttributes(path);
  if (attributes == platform::kInvalidAttributes) return false;
  const std::uint32_t wanted =
      stub ? attributes | platform::kAttrOffline : attributes & ~platform::kAttrOffline;
  return wanted == attributes || system_.SetFileAttributes(path, wanted);
}

void ActionEngine::RestoreFile(scan::CFolderInfo& record, std::uint32_t i, const std::string& folder,
                               const std::string& source, const std::string& target) {
  if (!EnsureFolder(folder)) {
    AskToContinue(FolderMessage(texts::kRestoreFolderError, folder, folder));
    return;
  }
  const auto sourceHost = source.empty() ? std::nullopt : system_.HostPath(source);
  const auto targetHost = system_.HostPath(target);
  if (!sourceHost || !targetHost || *sourceHost == *targetHost || !system_.FileExists(source)) {
    AskToContinue(FileMessage(texts::kRestoreFileError, target, target));
    return;
  }
  // Only the stub a back-up left (or no file at all) is replaced without asking: anything
  // written into the source since its back-up would otherwise be lost.
  const auto present = system_.GetFileSize(target);
  if (present && *present != 0 && !ConfirmOverwrite(target, flags_.RestoreOverwriteMode)) return;
  if (system_.CopyFile(source, target, false)) {
    record.states()[i] = scan::kStateNormal;
    MarkStub(target, false);
  } else {
    AskToContinue(FileMessage(texts::kRestoreFileError, target, target));
  }
}

void ActionEngine::ProcessStep(scan::CFolderInfo& record, std::uint32_t i) {
  record.hints()[i] = 0;
  progress_.StepProgress();
  activity::LowerPendingActionCount(state_);
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
