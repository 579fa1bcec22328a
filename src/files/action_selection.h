#pragma once
// The six commands that choose what is to be done to the entries of the Files list:
// compress, decompress, back up, restore, cancel and "take the hint". They set the
// `actions` column of the scan model (and `backupDrives` for back up and restore),
// keep PendingActionCount in step, and ask the user through the two small dialogs and
// the Prompter. Nothing here shows a window; the list, the dialogs and the scans of
// unread folders are reached through SelectionView and SelectionDialogs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scan/folder_info.h"

namespace activity { struct AppState; }
namespace common { class Prompter; }

#include "files/action_codes.h"
#include "files/selection_command_ids.h"

namespace files {

inline constexpr const char* kWaitForScanText = "Wait or stop scanning first.";
inline constexpr const char* kNothingToCompressText = "There are no objects to compress.";
inline constexpr const char* kNothingToDecompressText = "There are no objects to decompress.";
inline constexpr const char* kNothingToBackUpText = "There are no objects to Back Up.";
inline constexpr const char* kNothingToRestoreText = "There are no objects to Restore.";
inline constexpr const char* kBackUpToCurrentDiskText = "You can't Back Up to current disk.";

// The choices that live from command to command for the life of the process.
struct SelectionFlags {
  bool SubfoldersToo = false;
  bool FilesInFoldersToo = false;
  bool IncludeSubfolders = false;
  std::string BackupTarget;
};

struct DirectoriesChoice {
  bool subfoldersToo = false;
  bool filesInFoldersToo = false;
};

struct BackupChoice {
  bool includeSubfolders = false;
  std::string backupTarget;  // a drive item's text, "E:" or "E: [Data]"
};

// "How to set actions for directories..." and "Back Up\Restore". Each shows the values
// it is given and answers the user's choice, or nothing for Cancel. A back-up onto the
// filesystem of drive `backsUpFrom` is refused in the dialog, which stays open for another
// choice; '\0' when nothing is backed up (a restore reads from wherever the copy is).
class SelectionDialogs {
 public:
  virtual ~SelectionDialogs() = default;
  virtual std::optional<DirectoriesChoice> AskDirectories(const DirectoriesChoice& shown) = 0;
  virtual std::optional<BackupChoice> AskBackup(const BackupChoice& shown, char backsUpFrom) = 0;
};

// The Files list as the commands see it.
class SelectionView {
 public:
  virtual ~SelectionView() = default;
  // The record of the folder the list shows; nullptr when it shows none.
  virtual scan::CFolderInfo* ShownRecord() = 0;
  // Entry indices of the selected rows, in list order.
  virtual std::vector<std::uint32_t> SelectedEntries() const = 0;
  // The entry's action changed: its row's column "A" is to be written again.
  virtual void ActionChanged(std::uint32_t entry) = 0;
  // Scans the selected folders that no full scan has read, then runs `command` again
  // with its folders prepared.
  virtual void StartPrepareFolders(int command) = 0;
};

// Sets the action of `record`'s entry `i`, raising or lowering PendingActionCount when
// it goes from or to none.
void SetAction(scan::CFolderInfo& record, std::uint32_t i, std::uint8_t action,
               activity::AppState& state);

// The drive letter of the folder `record` lies on, upper case; '\0' for the drive list.
char DriveLetterOf(const scan::CFolderInfo& record);

// Whether a command is available: compress and decompress need a shown folder on a
// drive that can compress; the others need the Files list to be the active view.
bool SelectionCommandEnabled(int command, bool listIsActiveView, bool listShowsFolder,
                             bool driveCompressible);

class ActionSelection {
 public:
  ActionSelection(activity::AppState& state, SelectionFlags& flags, SelectionDialogs& dialogs,
                  common::Prompter& prompter)
      : state_(state), flags_(flags), dialogs_(dialogs), prompter_(prompter) {}

  // Runs one of the six commands on the view's selection; other identifiers are ignored.
  // A command that reaches into subfolders first has the view scan the unread ones, and
  // is run again with `foldersPrepared`, which asks no dialog again.
  void Run(int command, SelectionView& view, bool foldersPrepared = false);

 private:
  enum class Rule { Compress, Decompress, BackUp, Restore, Cancel };
  enum class DirectoriesStep { GoOn, Stop };

  void RunDirectoriesCommand(int command, Rule rule, SelectionView& view);
  void RunCancel(SelectionView& view);
  void RunBackUpOrRestore(int command, Rule rule, SelectionView& view);
  void RunSetHint(SelectionView& view);

  // Steps shared by the commands that ask the directories dialog for a folder.
  DirectoriesStep AskForFolder(int command, bool preparesFolders, const scan::CFolderInfo& record,
                               std::uint32_t i, SelectionView& view);
  void PrepareFoldersUnlessScanning(int command, SelectionView& view);
  bool AskBackupOnce(bool& asked, char backsUpFrom);
  void Message(const char* text, bool stopIcon = false);

  bool Qualifies(Rule rule, const scan::CFolderInfo& record, std::uint32_t i) const;
  void Apply(Rule rule, scan::CFolderInfo& record, std::uint32_t i);
  void ApplyShown(Rule rule, scan::CFolderInfo& record, std::uint32_t i, SelectionView& view);
  void RecurseDirectories(Rule rule, scan::CFolderInfo& record);
  void RecurseBackup(Rule rule, scan::CFolderInfo& record);
  void RecurseForSelected(Rule rule, scan::CFolderInfo& record, std::uint32_t i);

  activity::AppState& state_;
  SelectionFlags& flags_;
  SelectionDialogs& dialogs_;
  common::Prompter& prompter_;
  // The current command's run.
  std::uint32_t setCount_ = 0;  // rule applications
  bool foldersPrepared_ = false;
  bool directoriesAnswered_ = false;  // the directories dialog was answered for it
};

}  // namespace files
