#include "ui/actions/frame_panes.h"

#include "ui/document/drives_document.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {

FramePanes::FramePanes(CFilesList& list, CDriveTree& tree, DrivesDocument& document)
    : list_(&list), tree_(&tree), document_(document), scans_(tree, document) {}

scan::CFolderInfo* FramePanes::ShownFolder() { return list_ ? list_->ShownFolder() : nullptr; }

std::vector<std::uint32_t> FramePanes::SelectedEntries() const {
  return list_ ? list_->SelectedEntries() : std::vector<std::uint32_t>();
}

void FramePanes::CommandEnded() {
  // One pass over the rows: a command may change thousands of selected rows.
  if (changed_ && list_) list_->RefreshCodeCells();
  changed_ = false;
}

QStringList FramePanes::DriveTexts() const {
  QStringList texts;
  const QAbstractItemModel* model = tree_ ? tree_->model() : nullptr;
  for (int row = 0; model && row < model->rowCount(); ++row) texts << model->index(row, 0).data().toString();
  return texts;
}

scan::RecordsHold FramePanes::HoldRecords() {
  return document_.Scanner().HoldRecords();
}

}  // namespace ui
