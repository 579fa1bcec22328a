#include "ui/views/files_list.h"

#include "ui/app/window_message.h"
#include "ui/commands/command_table.h"
#include "ui/commands/string_table.h"

namespace ui {

CFilesList::CFilesList(ShellContext& context, QWidget* parent)
    : QTableView(parent), context_(context) {
  setObjectName(QStringLiteral("CFilesList"));
  setWhatsThis(QStringLiteral(
      "The Files list: the files and folders of the folder selected in the Folders tree, "
      "with their sizes, access counts, actions and hints."));
}

CFilesList::~CFilesList() { context_.commands.UnregisterAll(Target::List); }

bool CFilesList::event(QEvent* event) {
  if (IsMessage(event, UM_STARTUP)) {
    StartupStep();
    return true;
  }
  return QTableView::event(event);
}

void CFilesList::StartupStep() {
  setWindowTitle(QString::fromUtf8(strings::kFilesListCaption));
  ready_ = false;
}

void CFilesList::focusInEvent(QFocusEvent* event) {
  context_.commands.SetActiveView(Target::List);
  QTableView::focusInEvent(event);
}

}  // namespace ui
