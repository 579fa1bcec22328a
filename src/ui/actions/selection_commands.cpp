#include "ui/actions/selection_commands.h"

#include <QMetaObject>
#include <QPointer>

#include "activity/app_state.h"
#include "ui/commands/command_ids.h"
#include "ui/commands/command_table.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/status_panes.h"

namespace ui {

namespace {

constexpr int kCommands[] = {cmd::kCompress, cmd::kDecompress, cmd::kBackup,
                             cmd::kRestore,  cmd::kCancelAction, cmd::kSetHint};

char DriveLetterOf(const scan::CFolderInfo& record) {
  const std::string path = record.path();
  return path.empty() ? '\0' : path[0];
}

}  // namespace

SelectionCommands::SelectionCommands(ShellContext& context, QWidget* window, ListAccess access,
                                     QObject* parent)
    : QObject(parent),
      context_(context),
      access_(std::move(access)),
      dialogs_(window, access_.driveTexts),
      selection_(context.state, flags_, dialogs_, context.prompter) {
  Register();
}

SelectionCommands::~SelectionCommands() {
  for (const int id : kCommands) context_.commands.Unregister(id, Target::List);
  // The worker only waits for a scan the scan controller finishes or stops; its resend
  // is posted, so waiting here cannot hold it up.
  if (worker_.joinable()) {
    if (access_.cancelWaits) access_.cancelWaits();
    worker_.join();
  }
}

void SelectionCommands::Register() {
  for (const int id : kCommands) {
    context_.commands.Register(
        id, Target::List, [this, id] { RunCommand(id); },
        [this, id](CommandUi& ui) { ui.Enable(Enabled(id)); });
  }
}

bool SelectionCommands::Enabled(int command) const {
  if (Preparing()) return false;
  files::SelectionView* view = access_.view ? access_.view() : nullptr;
  const scan::CFolderInfo* record = view ? view->ShownRecord() : nullptr;
  const char letter = record ? DriveLetterOf(*record) : '\0';
  const bool compressible = letter >= 'A' && letter <= 'Z' &&
                            context_.state.CompressibleDrive[activity::DriveIndex(letter)];
  return files::SelectionCommandEnabled(command, context_.commands.ActiveView() == Target::List,
                                        record != nullptr, compressible);
}

void SelectionCommands::RunCommand(int command) {
  files::SelectionView* view = access_.view ? access_.view() : nullptr;
  if (!view) return;
  RunHoldingRecords(command, *view);
}

void SelectionCommands::ShowPendingCount() {
  if (access_.afterCommand) access_.afterCommand();
  context_.frame.Status().SetActions(
      QStringLiteral("A:%1").arg(context_.state.PendingActionCount.load()));
}

void SelectionCommands::StartPrepareFolders() {
  if (worker_.joinable()) {
    if (!workerDone_) return;  // one worker per command
    worker_.join();
  }
  std::vector<std::string> folders =
      access_.selectedFolderNames ? access_.selectedFolderNames() : std::vector<std::string>();
  files::FolderScanHook* hook = access_.scanHook ? access_.scanHook() : nullptr;
  workerDone_ = false;
  QPointer<SelectionCommands> self(this);
  worker_ = std::thread([this, self, folders = std::move(folders), hook] {
    if (hook) files::PrepareFolders(folders, *hook, context_.state);
    workerDone_ = true;
    QMetaObject::invokeMethod(this, [self] {
      if (self) self->Resend();
    }, Qt::QueuedConnection);
  });
}

void SelectionCommands::Resend() {
  const int command = flags_.ResendCommand;
  files::SelectionView* view = access_.view ? access_.view() : nullptr;
  if (command == files::kNoCommand) return;
  if (!view) {
    // The list went away meanwhile: the command is over, and the next one asks afresh.
    flags_.ResendCommand = files::kNoCommand;
    flags_.DialogAnswered = false;
    return;
  }
  RunHoldingRecords(command, *view);
}

void SelectionCommands::RunHoldingRecords(int command, files::SelectionView& view) {
  const scan::RecordsHold hold = access_.holdRecords ? access_.holdRecords() : scan::RecordsHold();
  selection_.Run(command, view);
  ShowPendingCount();
}

}  // namespace ui
