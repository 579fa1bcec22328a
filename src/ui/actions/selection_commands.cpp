#include "ui/actions/selection_commands.h"

#include "activity/app_state.h"
#include "files/backup_drives.h"
#include "ui/actions/action_panes.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/prompter/status_panes.h"

namespace ui {

namespace {

constexpr int kCommands[] = {cmd::kCompress, cmd::kDecompress, cmd::kBackup,
                             cmd::kRestore,  cmd::kCancelAction, cmd::kSetHint};

}  // namespace

SelectionCommands::SelectionCommands(ShellContext& context, QWidget* window, ActionPanes& panes,
                                     QObject* parent)
    : QObject(parent),
      context_(context),
      panes_(panes),
      dialogs_(
          window, [&panes] { return panes.DriveTexts(); },
          [&context] { return files::ReadBackupDriveFacts(context.system); }),
      selection_(context.state, flags_, dialogs_, context.prompter),
      preparer_(context.state, panes) {
  Register();
}

SelectionCommands::~SelectionCommands() {
  for (const int id : kCommands) context_.commands.Unregister(id, Target::List);
}

scan::CFolderInfo* SelectionCommands::ShownRecord() { return panes_.ShownFolder(); }

std::vector<std::uint32_t> SelectionCommands::SelectedEntries() const { return panes_.SelectedEntries(); }

void SelectionCommands::ActionChanged(std::uint32_t entry) { panes_.ActionChanged(entry); }

void SelectionCommands::Register() {
  for (const int id : kCommands) {
    context_.commands.Register(
        id, Target::List, [this, id] { RunCommand(id); },
        [this, id](CommandUi& ui) { ui.Enable(Enabled(id)); });
  }
}

bool SelectionCommands::Enabled(int command) const {
  if (preparer_.Running()) return false;
  const scan::CFolderInfo* record = panes_.ShownFolder();
  const char letter = record ? files::DriveLetterOf(*record) : '\0';
  const bool compressible = letter >= 'A' && letter <= 'Z' &&
                            context_.state.CompressibleDrive[activity::DriveIndex(letter)];
  return files::SelectionCommandEnabled(command, context_.commands.ActiveView() == Target::List,
                                        record != nullptr, compressible);
}

void SelectionCommands::RunCommand(int command, bool foldersPrepared) {
  const scan::RecordsHold hold = panes_.HoldRecords();
  selection_.Run(command, *this, foldersPrepared);
  ShowPendingCount();
}

void SelectionCommands::ShowPendingCount() {
  panes_.CommandEnded();
  context_.panes.SetActions(
      QStringLiteral("A:%1").arg(context_.state.PendingActionCount.load()));
}

std::vector<std::string> SelectionCommands::SelectedFolderNames() {
  std::vector<std::string> names;
  const scan::CFolderInfo* record = panes_.ShownFolder();
  if (record == nullptr) return names;
  for (const std::uint32_t i : panes_.SelectedEntries()) {
    if (record->IsFolder(i)) names.emplace_back(record->names(i));
  }
  return names;
}

void SelectionCommands::StartPrepareFolders(int command) {
  preparer_.Start(SelectedFolderNames(), [this, command] { RunCommand(command, /*foldersPrepared=*/true); });
}

}  // namespace ui
