#include "ui/actions/pane_selection_commands.h"

#include "scan/folder_info.h"
#include "ui/actions/pane_selection.h"
#include "ui/actions/selection_commands.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {

PaneSelectionCommands::PaneSelectionCommands(ShellContext& context, CDriveTree& tree,
                                             CFilesList& list, QObject* parent)
    : QObject(parent) {
  view_ = std::make_unique<ListSelectionView>(list, [this] { commands_->StartPrepareFolders(); });
  hook_ = std::make_unique<TreeScanHook>(tree);
  ListAccess access;
  access.view = [this] { return view_.get(); };
  access.selectedFolderNames = [this] { return view_->SelectedFolderNames(); };
  access.scanHook = [this] {
    hook_->Reset();
    return hook_.get();
  };
  QPointer<CDriveTree> treePointer(&tree);
  access.driveTexts = [treePointer] {
    QStringList texts;
    if (!treePointer) return texts;
    const QAbstractItemModel* model = treePointer->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
      texts << model->index(row, 0).data().toString();
    }
    return texts;
  };
  access.afterCommand = [this] { view_->Flush(); };
  access.cancelWaits = [this] { hook_->Cancel(); };
  access.holdRecords = [treePointer] { return treePointer ? treePointer->Scanner().HoldRecords() : scan::RecordsHold(); };
  commands_ = std::make_unique<SelectionCommands>(context, list.window(), std::move(access));
}

PaneSelectionCommands::~PaneSelectionCommands() {
  // The commands' worker uses the hook and the view: it is joined first.
  commands_.reset();
}

}  // namespace ui
