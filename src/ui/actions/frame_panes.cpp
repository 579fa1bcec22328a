#include "ui/actions/frame_panes.h"

#include "scan/folder_info.h"
#include "ui/document/drives_document.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"

namespace ui {
namespace {

// The subfolder `name` of the tree's current folder; nullptr when it has none.
scan::CFolderInfo* CurrentSubfolder(const CDriveTree& tree, const std::string& name) {
  scan::CFolderInfo* current = tree.RecordOf(tree.CurrentItem());
  if (current == nullptr) return nullptr;
  for (std::uint32_t i = 0; i < current->Count(); ++i) {
    if (current->IsFolder(i) && current->names(i) == name) return current->GetChild(i);
  }
  return nullptr;
}

}  // namespace

FramePanes::FramePanes(CFilesList& list, CDriveTree& tree, DrivesDocument& document)
    : list_(&list), tree_(&tree), document_(document) {}

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

bool FramePanes::NeedsFullScan(const std::string& name) {
  const scan::CFolderInfo* folder = tree_ ? CurrentSubfolder(*tree_, name) : nullptr;
  return folder != nullptr && folder->readState != scan::ReadState::ReadFully;
}

bool FramePanes::StartFullScan(const std::string& name) {
  if (tree_) {
    const QModelIndex item = tree_->ItemOf(CurrentSubfolder(*tree_, name));
    if (item.isValid()) tree_->StartScan(item);
  }
  return document_.Scanner().ScanThreadRunning();
}

void FramePanes::WhenScanClosed(std::function<void()> call) { document_.Scanner().WhenScanClosed(std::move(call)); }

}  // namespace ui
