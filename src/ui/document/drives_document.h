#pragma once
// The drives' document: every CFolderInfo of the run, below the drive list, the scan
// controller that replaces them, and the current folder. It is no widget; the folders
// tree, the Files list and the space map are views of it that follow its signals and
// never reach each other, and whatever decides on a folder reads its record here.
//
// Declared in this order on purpose: the scanner joins its worker before the records go.

#include <QObject>
#include <memory>

#include "scan/folder_info.h"
#include "scan/scan_controller.h"
#include "scan/scan_job.h"

namespace activity { struct AppState; }
namespace common { class StatusSink; }
namespace platform { class System; }

namespace ui {

class ThrottledStatusSink;

class DrivesDocument : public QObject, private scan::ScanEvents {
  Q_OBJECT

 public:
  // `status` takes the scans' texts, throttled; all three outlive the document.
  DrivesDocument(const platform::System& system, activity::AppState& state, common::StatusSink& status);
  ~DrivesDocument() override;

  // The drive list; its entries are the drives, their child records the drive roots.
  scan::CFolderInfo& DriveList() { return driveList_; }
  scan::ScanController& Scanner() { return *scanner_; }
  // Forgets every record and lists the machine's drives again, each root never read.
  // Whatever points into the old records must be dropped first.
  void ReadDrives();

  // The folder the tree has selected and the list and the map show; nullptr before the
  // first. A scan that replaces it leaves the folder it replaced current.
  scan::CFolderInfo* CurrentFolder() const { return current_; }
  // Makes `folder` current and has every view show it, again if it was current already
  // (its records may have changed).
  void ShowFolder(scan::CFolderInfo* folder);

 signals:
  void folderShown(scan::CFolderInfo* folder);
  // The scan controller's events, on the UI thread (see scan::ScanEvents).
  void scanStarted(scan::CFolderInfo* record);
  void subtreePlaced(scan::CFolderInfo* record);
  void scanFinished(scan::CFolderInfo* record, const scan::ScanEnding& ending);
  void clusterAnalysisPending();

 private:
  void ScanStarted(scan::CFolderInfo& record) override;
  void SubtreePlaced(scan::CFolderInfo& record) override { emit subtreePlaced(&record); }
  void ScanFinished(scan::CFolderInfo& record, const scan::ScanEnding& ending) override {
    emit scanFinished(&record, ending);
  }
  void ClusterAnalysisPending() override { emit clusterAnalysisPending(); }

  const platform::System& system_;
  scan::CFolderInfo driveList_;
  scan::CFolderInfo* current_ = nullptr;
  std::unique_ptr<ThrottledStatusSink> scanStatus_;
  std::unique_ptr<scan::ScanController> scanner_;
};

}  // namespace ui
