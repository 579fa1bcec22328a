#pragma once
// The two panes as the action commands use them: the Files list's shown folder and
// selected rows, the drive items offered as back-up targets, the scans that read unread
// folders first, and the hold that keeps records in place while a command runs.

#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scan/scan_controller.h"

namespace scan { class CFolderInfo; }

namespace ui {

class ActionPanes {
 public:
  virtual ~ActionPanes() = default;
  // The folder the Files list shows; nullptr when it shows none.
  virtual scan::CFolderInfo* ShownFolder() = 0;
  // Entry indexes of the selected rows, in list order.
  virtual std::vector<std::uint32_t> SelectedEntries() const = 0;
  // The entry's action changed: its row's column "A" is to be written again.
  virtual void ActionChanged(std::uint32_t entry) = 0;
  // A command has ended: the rows it changed are written again.
  virtual void CommandEnded() {}
  // The texts of the folders tree's drive items ("E:" or "E: [Data]").
  virtual QStringList DriveTexts() const = 0;
  // Whether the folders tree's current item has the subfolder `name` and no full scan
  // has read it.
  virtual bool NeedsFullScan(const std::string& name) = 0;
  // Starts the full scan of that subfolder. True while a scan runs then: the one
  // started, or one already running that refused it.
  virtual bool StartFullScan(const std::string& name) = 0;
  // Runs `call` once the running scan is closed; now when none runs.
  virtual void WhenScanClosed(std::function<void()> call) = 0;
  // Kept while a command runs: its dialogs are modal loops, and it goes on with the
  // records it started from.
  virtual scan::RecordsHold HoldRecords() = 0;
};

}  // namespace ui
