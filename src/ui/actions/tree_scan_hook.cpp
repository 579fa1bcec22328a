#include "ui/actions/tree_scan_hook.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>

#include "scan/folder_info.h"
#include "scan/scan_controller.h"
#include "ui/document/drives_document.h"
#include "ui/views/drive_tree.h"

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

TreeScanHook::TreeScanHook(CDriveTree& tree, DrivesDocument& document) : tree_(&tree), document_(&document) {}

void TreeScanHook::Cancel() {
  {
    const std::lock_guard lock(waits_->mutex);
    waits_->cancelled = true;
  }
  waits_->changed.notify_all();
}

bool TreeScanHook::OnUiThread(std::function<void(CDriveTree& tree, DrivesDocument& document, Done done)> call) {
  auto done = std::make_shared<bool>(false);
  Done wake = [waits = waits_, done] {
    {
      const std::lock_guard lock(waits->mutex);
      *done = true;
    }
    waits->changed.notify_all();
  };
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [tree = tree_, document = document_, call = std::move(call), wake] {
        if (tree) {
          call(*tree, *document, wake);
        } else {
          wake();
        }
      },
      Qt::QueuedConnection);
  std::unique_lock lock(waits_->mutex);
  waits_->changed.wait(lock, [&] { return *done || waits_->cancelled; });
  return *done && !waits_->cancelled;
}

bool TreeScanHook::NeedsFullScan(const std::string& name) {
  auto needed = std::make_shared<std::atomic<bool>>(false);
  const bool answered = OnUiThread([needed, name](CDriveTree& tree, DrivesDocument&, const Done& done) {
    const scan::CFolderInfo* folder = CurrentSubfolder(tree, name);
    *needed = folder != nullptr && folder->readState != scan::ReadState::ReadFully;
    done();
  });
  return answered && *needed;
}

void TreeScanHook::ScanAndWait(const std::string& name) {
  OnUiThread([name](CDriveTree& tree, DrivesDocument& document, const Done& done) {
    const QModelIndex item = tree.ItemOf(CurrentSubfolder(tree, name));
    if (item.isValid()) tree.StartScan(item);
    // Refused, the scan that runs still has to end before the next folder is tried.
    document.Scanner().WhenScanClosed(done);
  });
}

}  // namespace ui
