#pragma once
// The drives' document: every CFolderInfo of the run, below the drive list, and the scan
// controller that replaces them. It is no widget; the folders tree and the Files list
// are views of it, and whatever decides on a folder reads its record here.
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

 signals:
  // The scan controller's events, on the UI thread (see scan::ScanEvents).
  void scanStarted(scan::CFolderInfo* record);
  void subtreePlaced(scan::CFolderInfo* record);
  void scanFinished(scan::CFolderInfo* record, const scan::ScanEnding& ending);
  void clusterAnalysisPending();

 private:
  void ScanStarted(scan::CFolderInfo& record) override { emit scanStarted(&record); }
  void SubtreePlaced(scan::CFolderInfo& record) override { emit subtreePlaced(&record); }
  void ScanFinished(scan::CFolderInfo& record, const scan::ScanEnding& ending) override {
    emit scanFinished(&record, ending);
  }
  void ClusterAnalysisPending() override { emit clusterAnalysisPending(); }

  const platform::System& system_;
  scan::CFolderInfo driveList_;
  std::unique_ptr<ThrottledStatusSink> scanStatus_;
  std::unique_ptr<scan::ScanController> scanner_;
};

}  // namespace ui
