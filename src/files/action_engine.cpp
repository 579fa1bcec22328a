#include "files/action_engine.h"

#include "files/action_texts.h"
#include "platform/system.h"
#include "scan/folder_info.h"
#include "activity/pending_actions.h"
#include "common/prompter.h"
#include "scan/record_walk.h"

namespace files {
namespace {

bool IsDriveLetter(std::uint8_t letter) {
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool IsPerformed(std::uint8_t action) {
  return action == kActionCompress || action == kActionDecompress || action == kActionBackUp ||
         action == kActionRestore;
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

// A refusal that tells its reason in place of the copy that could not be made.
std::string ReasonMessage(const char* error, const std::string& path, const std::string& why) {
  return error + path + "\n" + why + texts::kContinueFiles;
}

}  // namespace

void ConfirmStop(ActionRunFlags& flags, common::Prompter& prompter) {
  flags.ProcessingPaused = 1;
  if (AnswerIsYes(prompter, texts::kConfirmStop)) flags.ProcessingOn = 0;
  flags.ProcessingPaused = 0;
  flags.ProcessingPaused.notify_all();
}

std::string BackupFolderOf(std::string_view folderPath, std::uint8_t backupDrive) {
  if (folderPath.empty() || !IsDriveLetter(backupDrive)) return {};
  std::string path(folderPath);
  path[0] = static_cast<char>(backupDrive >= 'a' ? backupDrive - ('a' - 'A') : backupDrive);
  return path;
}

ActionEngine::ActionEngine(platform::System& system, std::atomic<std::uint32_t>& pending,
                           ActionRunFlags& flags, common::Prompter& prompter, ActionProgress& progress)
    : system_(system), pending_(pending), flags_(flags), prompter_(prompter), progress_(progress),
      compression_(system) {}

bool ActionEngine::ActionWorker(scan::CFolderInfo& driveList) {
  tally_ = {};
  ProcessFolder(driveList);
  flags_.OverwriteMode = kOverwriteSkip;
  flags_.RestoreOverwriteMode = kOverwriteSkip;
  RecalculateDrives(driveList);
  progress_.RefillList();
  progress_.ShowAction(texts::kIdleAction);
  progress_.ShowCurrentFile(texts::kIdleFile);
  const std::uint32_t pending = pending_;
  progress_.ShowFilesToProcess(pending);
  flags_.ProcessingOn = 0;
  progress_.RunStopped(pending);
  if (pending != 0 && tally_.AllDone()) return false;  // stopped: nothing went wrong to tell
  common::Message message;
  message.text = pending == 0 ? texts::kAllProcessed : tally_.Summary();
  message.icon = common::Icon::None;
  prompter_.Ask(message);
  return pending == 0;
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
  for (std::uint32_t paused = flags_.ProcessingPaused; paused != 0; paused = flags_.ProcessingPaused) {
    flags_.ProcessingPaused.wait(paused);
  }
  // A stop confirmed while the engine waited takes effect before this entry.
  return flags_.ProcessingOn != 0;
}

void ActionEngine::ProcessFolder(scan::CFolderInfo& root) {
  links_ = SelectedLinks::Of(root);
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
  if (!IsPerformed(action)) return;
  const std::string path = record.path() + std::string(record.names(i));
  ProcessStep(record, i, action, FolderAction(record, i, action, path));
}

ActionOutcome ActionEngine::FolderAction(scan::CFolderInfo& record, std::uint32_t i,
                                         std::uint8_t action, const std::string& path) {
  auto& state = record.states()[i];
  switch (action) {
    case kActionCompress:
      Begin(record, i, texts::kCompressingFolder, path);
      if (!compression_.CompressFolder(path)) return ActionOutcome::Failed;
      state = scan::kStateCompressed;
      return ActionOutcome::Done;
    case kActionDecompress:
      Begin(record, i, texts::kDecompressingFolder, path);
      if (!compression_.DecompressFolder(path)) return ActionOutcome::Failed;
      state = scan::kStateNormal;
      return ActionOutcome::Done;
    case kActionBackUp: {
      Begin(record, i, texts::kBackingUpFolder, path);
      const std::string backupFolder = BackupFolderOf(record.path(), record.backupDrives()[i]);
      const std::string target = backupFolder.empty() ? std::string() : backupFolder + std::string(record.names(i));
      if (const auto problem = DriveProblemOf(path, target)) {
        return Failed(FolderMessage(texts::kBackUpFolderError, path, target) + "\n" + *problem);
      }
      if (!EnsureFolder(target, static_cast<std::uint8_t>(path[0]))) {
        return Failed(FolderMessage(texts::kBackUpFolderError, path, target));
      }
      state = scan::kStateBackedUp;
      return ActionOutcome::Done;
    }
    default:  // restore
      Begin(record, i, texts::kRestoringFolder, path);
      if (const auto problem = DriveProblemOf(path, {})) {
        return Failed(FolderMessage(texts::kRestoreFolderError, path, path) + "\n" + *problem);
      }
      if (!EnsureFolder(path, record.backupDrives()[i])) {
        return Failed(FolderMessage(texts::kRestoreFolderError, path, path));
      }
      state = scan::kStateNormal;
      return ActionOutcome::Done;
  }
}

void ActionEngine::ProcessFileEntry(scan::CFolderInfo& record, std::uint32_t i) {
  const std::uint8_t action = record.actions()[i];
  if (!IsPerformed(action)) return;
  const std::string folder = record.path();
  const std::string path = folder + std::string(record.names(i));
  const ActionOutcome outcome = FileAction(record, i, action, folder, path);
  RereadFacts(record, i, path);
  ProcessStep(record, i, action, outcome);
}

ActionOutcome ActionEngine::FileAction(scan::CFolderInfo& record, std::uint32_t i,
                                       std::uint8_t action, const std::string& folder,
                                       const std::string& path) {
  auto& state = record.states()[i];
  if (action == kActionCompress || action == kActionDecompress) {
    const bool compress = action == kActionCompress;
    Begin(record, i, compress ? texts::kCompressingFile : texts::kDecompressingFile, path);
    const std::uint64_t names = links_.NamesInRun(record, i, action);
    const platform::StepResult done =
        compress ? compression_.CompressFile(path, names) : compression_.DecompressFile(path, names);
    if (done) {
      state = compress ? scan::kStateCompressed : scan::kStateNormal;
      return ActionOutcome::Done;
    }
    if (done.why.empty()) return ActionOutcome::Failed;
    return Failed(ReasonMessage(compress ? texts::kCompressFileError : texts::kDecompressFileError,
                                path, done.why));
  }
  Begin(record, i, action == kActionBackUp ? texts::kBackingUpFile : texts::kRestoringFile, path);
  const std::string backupFolder = BackupFolderOf(folder, record.backupDrives()[i]);
  const std::string backupPath =
      backupFolder.empty() ? std::string() : backupFolder + std::string(record.names(i));
  if (action == kActionBackUp) return BackUpFile(record, i, backupFolder, path, backupPath);
  return RestoreFile(record, i, folder, backupPath, path);
}

void ActionEngine::RereadFacts(scan::CFolderInfo& record, std::uint32_t i, const std::string& path) {
  const auto size = system_.GetFileSize(path);
  if (!size) return;  // gone or unreadable: the figures of the scan stay
  const std::uint64_t compressed = system_.GetCompressedFileSize(path);
  record.sizes()[i] = *size;
  record.compressedSizes()[i] = compressed == platform::kInvalidFileSize ? *size : compressed;
}

ActionOutcome ActionEngine::BackUpFile(scan::CFolderInfo& record, std::uint32_t i,
                                       const std::string& folder, const std::string& source,
                                       const std::string& target) {
  const auto refuse = [&](const std::string& why) {
    return Failed(ReasonMessage(texts::kBackUpFileError, source, why));
  };
  // Checked before any folder is made: a back-up drive whose disk is gone would take the
  // copy onto the folder it was mounted on.
  if (const auto problem = DriveProblemOf(source, target)) return refuse(*problem);
  if (!EnsureFolder(folder, static_cast<std::uint8_t>(source[0]))) {
    return Failed(FolderMessage(texts::kBackUpFolderError, record.path(), folder));
  }
  const auto sourceHost = system_.HostPath(source);
  const auto targetHost = system_.HostPath(target);
  // A backup drive that is the source's own drive would copy the file onto itself and
  // then empty the only copy.
  if (!sourceHost || !targetHost || *sourceHost == *targetHost) {
    return Failed(FileMessage(texts::kBackUpFileError, source, target));
  }
  std::string why;
  const auto file = system_.OpenForAction(source, platform::OpenFor::Writing, &why);
  if (!file) return refuse(why);
  // A stub that forgets it is one reads as an empty file: its data would have no way back.
  // One name's copy could never bring back what the others show, and emptying the file
  // empties it under every name.
  if (const std::uint64_t links = file->LinkCount(); links > 1) {
    return refuse("it has " + std::to_string(links) +
                  " hard links: emptying it would empty the data every other link shows");
  }
  if (!file->KeepsOfflineMark()) {
    return refuse("its drive cannot keep the mark that tells a back-up stub (no extended attributes)");
  }
  platform::StepResult copied = system_.CopyOpenFile(*file, target, true);
  if (!copied) {
    if (!copied.why.empty()) return refuse(copied.why);
    if (!system_.FileExists(target)) {
      return Failed(FileMessage(texts::kBackUpFileError, source, target));
    }
    if (AlreadyBackedUp(*file, target)) {
      if (!system_.StillNames(*file, source) || !file->SetOffline(true)) return ActionOutcome::Failed;
      record.states()[i] = scan::kStateBackedUp;
      return ActionOutcome::Done;
    }
    // A file still marked as a stub holds data only when a restore of it did not finish:
    // written over the copy, it would replace the only whole one.
    if (file->MarkedOffline()) return refuse("it is still marked as a back-up stub; restore it first");
    if (!ConfirmOverwrite(target, source, flags_.OverwriteMode)) return ActionOutcome::Skipped;
    copied = system_.CopyOpenFile(*file, target, false);
    if (!copied) {
      if (!copied.why.empty()) return refuse(copied.why);
      return Failed(FileMessage(texts::kBackUpFileError, source, target));
    }
  }
  if (!CopiedCompletely(*file, target)) {
    return Failed(FileMessage(texts::kBackUpFileError, source, target));
  }
  // The copy is of the file held open; the name must still be that file, or what is
  // emptied would be another one (a link swapped in meanwhile, say).
  if (const auto problem = DriveProblemOf(source, target)) return refuse(*problem);
  if (!system_.StillNames(*file, source)) return refuse(texts::kReplacedWhileCopied);
  record.states()[i] = scan::kStateBackedUp;
  EmptyToStub(*file);
  return ActionOutcome::Done;
}

std::optional<std::string> ActionEngine::DriveProblemOf(const std::string& first, const std::string& second) const {
  for (const std::string* path : {&first, &second}) {
    if (path->empty()) continue;
    if (auto problem = system_.DriveProblem((*path)[0])) return problem;
  }
  return std::nullopt;
}

bool ActionEngine::ConfirmOverwrite(const std::string& existing, const std::string& replacement,
                                    std::atomic<std::uint8_t>& mode) {
  while (mode != kOverwriteAll) {
    const OverwriteAnswer answer = progress_.AskOverwrite(existing, replacement);
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

bool ActionEngine::AlreadyBackedUp(const platform::ActionFile& source, const std::string& target) const {
  // An emptied source beside a copy that holds data is what an earlier back-up left
  // behind: writing it over the copy would destroy the only one, whatever the answer.
  const auto targetSize = system_.GetFileSize(target);
  return source.Size() == 0 && targetSize && *targetSize != 0;
}

bool ActionEngine::CopiedCompletely(const platform::ActionFile& source, const std::string& target) const {
  // The copy is flushed before it is reported done; its length is checked too, so a copy
  // cut short by whatever means never leads to the source being emptied.
  const auto targetSize = system_.GetFileSize(target);
  return targetSize && source.Size() == *targetSize;
}

void ActionEngine::EmptyToStub(platform::ActionFile& file) {
  // Marked before it is emptied: an end in between leaves a full file whose mark nothing
  // reads (only empty files are asked), never a stub that looks like an empty file.
  if (!file.SetOffline(true)) return;
  if (!file.Empty()) file.SetOffline(false);
}

ActionOutcome ActionEngine::RestoreFile(scan::CFolderInfo& record, std::uint32_t i,
                                        const std::string& folder, const std::string& source,
                                        const std::string& target) {
  const auto refuse = [&](const std::string& why) {
    return Failed(ReasonMessage(texts::kRestoreFileError, target, why));
  };
  if (const auto problem = DriveProblemOf(target, source)) return refuse(*problem);
  // Nothing is made or opened for a copy that is not there, and the message names it.
  if (!source.empty() && !system_.FileExists(source)) {
    return refuse("Its back-up copy " + source + " does not exist.");
  }
  if (!EnsureFolder(folder, source.empty() ? 0 : static_cast<std::uint8_t>(source[0]))) {
    return Failed(FolderMessage(texts::kRestoreFolderError, folder, folder));
  }
  const auto sourceHost = source.empty() ? std::nullopt : system_.HostPath(source);
  const auto targetHost = system_.HostPath(target);
  if (!sourceHost || !targetHost || *sourceHost == *targetHost || !system_.FileExists(source)) {
    return Failed(FileMessage(texts::kRestoreFileError, target, target));
  }
  std::string why;
  const auto saved = system_.OpenForAction(source, platform::OpenFor::Reading, &why);
  if (!saved) return refuse(why);
  // The stub itself is written into, so it keeps its inode, owner, mode and links; only
  // a file that is gone altogether is made anew, as its saved copy was.
  std::unique_ptr<platform::ActionFile> stub;
  if (system_.FileExists(target)) {
    stub = system_.OpenForAction(target, platform::OpenFor::Writing, &why);
    if (!stub) return refuse(why);
    // Only the stub a back-up left is replaced without asking: anything written into the
    // source since its back-up would otherwise be lost.
    if (stub->Size() != 0 && !ConfirmOverwrite(target, source, flags_.RestoreOverwriteMode)) {
      return ActionOutcome::Skipped;
    }
  } else {
    stub = system_.CreateForAction(target, *saved, &why);
    if (!stub) return refuse(why);
  }
  // Marked until the data is all back: a restore cut short leaves a file that still says
  // it is a stub, never a part of the file that passes for all of it.
  const bool marks = stub->KeepsOfflineMark();
  if (marks) {
    if (const platform::StepResult marked = stub->SetOffline(true); !marked) return refuse(marked.why);
  }
  if (!system_.StillNames(*stub, target)) return refuse(texts::kReplacedWhileCopied);
  const platform::StepResult written = system_.WriteInto(*saved, *stub);
  if (!written) {
    if (!written.why.empty()) return refuse(written.why);
    return Failed(FileMessage(texts::kRestoreFileError, target, target));
  }
  if (marks) stub->SetOffline(false);
  record.states()[i] = scan::kStateNormal;
  return ActionOutcome::Done;
}

void ActionEngine::ProcessStep(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
                               ActionOutcome outcome) {
  tally_.Count(outcome);
  progress_.StepProgress();
  if (outcome != ActionOutcome::Done) {
    record.actions()[i] = action;
    return;
  }
  record.hints()[i] = 0;
  activity::LowerPendingActionCount(pending_);
  ShowPending();
}

void ActionEngine::ShowPending() { progress_.ShowFilesToProcess(pending_); }

ActionOutcome ActionEngine::Failed(const std::string& text) {
  if (!AnswerIsYes(prompter_, text)) flags_.ProcessingOn = 0;
  return ActionOutcome::Failed;
}

bool ActionEngine::EnsureFolder(std::string path, std::uint8_t modelDrive) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  // A drive's root folder exists whenever the drive does; refusing it would make every
  // file directly in a root impossible to back up or restore.
  if (path.size() == 2 && path[1] == ':') return system_.FileExists(path + '\\');
  if (path.size() < 2) return false;
  if (system_.FileExists(path)) return true;
  // Made like the same folder on the other drive, so a private folder stays private.
  const std::string model = IsDriveLetter(modelDrive) ? BackupFolderOf(path, modelDrive) : std::string();
  if (system_.CreateDirectoryLike(path, model)) return true;
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return false;
  if (!EnsureFolder(path.substr(0, slash), modelDrive)) return false;
  return system_.CreateDirectoryLike(path, model);
}

}  // namespace files
