#include "ui/actions/pane_selection.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "scan/folder_info.h"
#include "scan/scan_controller.h"
#include "ui/views/drive_tree.h"
#include "ui/views/files_list.h"
#include "ui/views/tree_images.h"

namespace ui {

scan::CFolderInfo* ListSelectionView::ShownRecord() {
  return list_ ? list_->ShownFolder() : nullptr;
}

std::vector<std::uint32_t> ListSelectionView::SelectedEntries() const {
  return list_ ? list_->SelectedEntries() : std::vector<std::uint32_t>();
}

void ListSelectionView::ActionChanged(std::uint32_t) { changed_ = true; }

std::vector<std::string> ListSelectionView::SelectedFolderNames() const {
  std::vector<std::string> names;
  const scan::CFolderInfo* record = list_ ? list_->ShownFolder() : nullptr;
  if (!record) return names;
  for (const std::uint32_t i : list_->SelectedEntries()) {
    if (record->IsFolder(i)) names.emplace_back(record->names(i));
  }
  return names;
}

void ListSelectionView::Flush() {
  // One pass over the rows: a command may change thousands of selected rows.
  if (changed_ && list_) list_->RefreshCodeCells();
  changed_ = false;
}

bool TreeScanHook::OnUiThread(std::function<void()> call) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> finished = done->get_future();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [call = std::move(call), done] {
        call();
        done->set_value();
      },
      Qt::QueuedConnection);
  while (finished.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    if (cancelled_) return false;
  }
  return true;
}

// The calls below may run after the worker gave up waiting: they share their results
// and hold the tree weakly, never the worker's stack or this hook.
bool TreeScanHook::NeedsFullScan(const std::string& name) {
  auto needed = std::make_shared<std::atomic<bool>>(false);
  OnUiThread([tree = tree_, needed, text = QString::fromStdString(name)] {
    if (!tree) return;
    const QModelIndex item = tree->FindChildItem(tree->CurrentItem(), text);
    *needed = item.isValid() && tree->NormalImage(item) == tree_image::kNotRead;
  });
  return *needed && !cancelled_;
}

void TreeScanHook::ScanAndWait(const std::string& name) {
  const bool reached = OnUiThread([tree = tree_, text = QString::fromStdString(name)] {
    if (!tree) return;
    const QModelIndex item = tree->FindChildItem(tree->CurrentItem(), text);
    if (item.isValid()) tree->StartScan(item);
  });
  if (!reached) return;
  // The scan thread is the tree's: ask on the UI thread until it has ended.
  auto running = std::make_shared<std::atomic<bool>>(true);
  while (*running && !cancelled_) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    OnUiThread([tree = tree_, running] { *running = tree && tree->Scanner().ScanThreadRunning(); });
  }
}

}  // namespace ui
