#pragma once
// The folder preparing worker's way to the folders tree: it asks on the UI thread
// whether the record of a subfolder of the current item needs a full scan, starts that
// scan, and sleeps until the document's scan is closed or Cancel wakes it.

#include <QPointer>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "files/prepare_folders.h"

namespace ui {

class CDriveTree;
class DrivesDocument;

class TreeScanHook : public files::FolderScanHook {
 public:
  // `document` outlives `tree`.
  TreeScanHook(CDriveTree& tree, DrivesDocument& document);

  bool NeedsFullScan(const std::string& name) override;
  void ScanAndWait(const std::string& name) override;
  void Cancel() override;

 private:
  // What the worker and the calls it posts share; the calls may outlive the hook.
  struct Waits {
    std::mutex mutex;
    std::condition_variable changed;
    bool cancelled = false;
  };
  using Done = std::function<void()>;
  // Runs `call` on the UI thread, handing it the Done that wakes the worker, and waits
  // for that. False when cancelled first.
  bool OnUiThread(std::function<void(CDriveTree& tree, DrivesDocument& document, Done done)> call);

  QPointer<CDriveTree> tree_;
  DrivesDocument* document_;
  std::shared_ptr<Waits> waits_ = std::make_shared<Waits>();
};

}  // namespace ui
