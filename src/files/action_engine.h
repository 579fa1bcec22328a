#pragma once
// The action engine: performs every selected action (compress, decompress, back up,
// restore) on every scanned drive in one run, on the action worker thread.
//
// Backing up copies a file to the same path on its backup drive and then empties the
// source. The source is emptied only after the copy has been reported complete and
// flushed and has the source's length; a copy onto the source itself, a short or failed
// copy, or a missing backup drive letter leaves the source as it was. Restoring copies
// the saved file back silently only over an empty (or missing) source; a source holding
// data is replaced only when the overwrite prompt allows it.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/action_outcome.h"
#include "files/compression_control.h"
#include "files/selected_links.h"

namespace platform {
class System;
class ActionFile;
}
namespace scan { class CFolderInfo; }
namespace common { class Prompter; }

#include "files/action_codes.h"

namespace files {


// OverwriteMode values, and the answers of the overwrite prompt.
inline constexpr std::uint8_t kOverwriteAll = 1;
inline constexpr std::uint8_t kOverwriteOne = 2;
inline constexpr std::uint8_t kOverwriteSkip = 3;
enum class OverwriteAnswer { All, Overwrite, Skip, Stop };

// The flags the dialog and the worker share.
struct ActionRunFlags {
  std::atomic<std::uint32_t> ProcessingOn{0};
  // Set while the stop question is open; notified when it is cleared.
  std::atomic<std::uint32_t> ProcessingPaused{0};
  // The prompt's answers for existing back-up copies, and apart from them for sources
  // written since their back-up, which a restore would replace: an All given for old
  // copies never lets a restore replace newer work unasked. Both fall back to Skip when
  // a run ends.
  std::atomic<std::uint8_t> OverwriteMode{kOverwriteSkip};
  std::atomic<std::uint8_t> RestoreOverwriteMode{kOverwriteSkip};
};

// Where the worker shows what it is doing; the dialog forwards to the UI thread.
class ActionProgress {
 public:
  virtual ~ActionProgress() = default;
  virtual void ShowAction(const std::string& text) = 0;
  virtual void ShowCurrentFile(const std::string& path) = 0;
  virtual void ShowFilesToProcess(std::uint32_t count) = 0;
  virtual void StepProgress() = 0;
  // Shows the overwrite prompt naming the existing file, which `replacementPath` would
  // write over, and waits for its answer.
  virtual OverwriteAnswer AskOverwrite(const std::string& existingPath,
                                       const std::string& replacementPath) = 0;
  // The drives are recalculated: the shown folder's list is to be refilled.
  virtual void RefillList() {}
  // ProcessingOn is clear again; `pending` actions are left.
  virtual void RunStopped(std::uint32_t /*pending*/) {}
};

// Asks "Are you sure want to stop processing files ?"; Yes clears ProcessingOn.
// ProcessingPaused holds the engine before its next entry while the question is open.
void ConfirmStop(ActionRunFlags& flags, common::Prompter& prompter);

// The folder path (ending in '\') moved to `backupDrive`; empty when the letter is not
// a drive letter, so nothing can be built or touched from it.
std::string BackupFolderOf(std::string_view folderPath, std::uint8_t backupDrive);

class ActionEngine {
 public:
  // `pending` is the run's count of pending actions (AppState::PendingActionCount),
  // lowered as each action is done.
  ActionEngine(platform::System& system, std::atomic<std::uint32_t>& pending, ActionRunFlags& flags,
               common::Prompter& prompter, ActionProgress& progress);

  // The whole run over the drive list; true when no action is left (the final message
  // has then been shown).
  bool ActionWorker(scan::CFolderInfo& driveList);
  void ProcessFolder(scan::CFolderInfo& record);
  // Creates the folder and its missing parents; with a `modelDrive`, each is made with
  // the owner and mode of the same folder on that drive.
  bool EnsureFolder(std::string path, std::uint8_t modelDrive = 0);

 private:
  bool MayStartEntry() const;
  void ProcessFolderEntry(scan::CFolderInfo& record, std::uint32_t i);
  void ProcessFileEntry(scan::CFolderInfo& record, std::uint32_t i);
  // The file's size and compressed size as they are now, for the recalculation and the
  // list that follow the run (a back-up emptied it, compression changed its space).
  void RereadFacts(scan::CFolderInfo& record, std::uint32_t i, const std::string& path);
  ActionOutcome FolderAction(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
                             const std::string& path);
  ActionOutcome FileAction(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
                           const std::string& folder, const std::string& path);
  ActionOutcome BackUpFile(scan::CFolderInfo& record, std::uint32_t i, const std::string& folder,
                           const std::string& source, const std::string& target);
  // Asks the overwrite prompt about `existing` unless `mode` already says All; true when
  // it may now be written over. A confirmed Stop answers false.
  bool ConfirmOverwrite(const std::string& existing, const std::string& replacement,
                        std::atomic<std::uint8_t>& mode);
  bool AlreadyBackedUp(const platform::ActionFile& source, const std::string& target) const;
  bool CopiedCompletely(const platform::ActionFile& source, const std::string& target) const;
  // Empties a backed-up source and marks it offline, so a later scan knows it again.
  void EmptyToStub(platform::ActionFile& file);
  // Why a drive of either path is not the filesystem it was; nullopt while both are.
  std::optional<std::string> DriveProblemOf(const std::string& first, const std::string& second) const;
  ActionOutcome RestoreFile(scan::CFolderInfo& record, std::uint32_t i, const std::string& folder,
                            const std::string& source, const std::string& target);
  // Counts the entry's step; an action that did not happen is selected again, its hint kept.
  void ProcessStep(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
                   ActionOutcome outcome);
  void Begin(scan::CFolderInfo& record, std::uint32_t i, const char* actionText,
             const std::string& path);
  // Shows an error question; No ends the run after this entry.
  ActionOutcome Failed(const std::string& text);
  void RecalculateDrives(scan::CFolderInfo& driveList);
  void ShowPending();

  platform::System& system_;
  std::atomic<std::uint32_t>& pending_;
  ActionRunFlags& flags_;
  common::Prompter& prompter_;
  ActionProgress& progress_;
  CompressionControl compression_;
  SelectedLinks links_;
  ActionTally tally_;
};

}  // namespace files
