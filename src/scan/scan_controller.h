#pragma once
// Runs scans one at a time on a worker thread and closes each on the UI thread: the
// core of the folders tree's StartScan, ScanWorker, Rescan, Stop scanning and the
// start-up scan of every fixed drive.
//
// Every public member is called on the UI thread. The controller reaches the UI thread
// only through the poster it is given (a queued call in the drives' document), and
// tells the document what happened through ScanEvents. Neither the poster nor a
// StatusSink given to it may block waiting for the UI thread: the UI thread joins the
// worker when the controller is destroyed.

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "scan/folder_info.h"
#include "scan/scan_job.h"

namespace platform { class System; }
namespace activity { struct AppState; }
namespace common { class StatusSink; }

namespace scan {

class ScanEvents {
 public:
  virtual ~ScanEvents() = default;
  // The scan of `record` has started: its items below are stale until SubtreePlaced.
  virtual void ScanStarted(CFolderInfo& /*record*/) {}
  // `record` holds the new contents (the drive is not yet recalculated): rebuild what
  // shows it, update the drive icons.
  virtual void SubtreePlaced(CFolderInfo& /*record*/) {}
  // The drive is recalculated and ScanInProgress is 0: refresh the hints, then (when
  // ending.refresh) the selection and the Files list. The scan still counts as running
  // here: a scan started from this callback is refused (Rescan defers it).
  virtual void ScanFinished(CFolderInfo& /*record*/, const ScanEnding& /*ending*/) {}
  // A cluster size analysis was waiting for this scan.
  virtual void ClusterAnalysisPending() {}
};

using UiPoster = std::function<void(std::function<void()>)>;

class ScanController;

// Taken by whatever keeps pointers to records across a modal loop (an action run, a
// dialog): while one is alive the controller replaces or changes no record. Move-only;
// its end lets what waited go on. Outliving the controller is harmless.
class [[nodiscard]] RecordsHold {
 public:
  RecordsHold() = default;
  RecordsHold(RecordsHold&& other) noexcept : controller_(std::move(other.controller_)) { other.controller_.reset(); }
  RecordsHold& operator=(RecordsHold&& other) noexcept;
  RecordsHold(const RecordsHold&) = delete;
  RecordsHold& operator=(const RecordsHold&) = delete;
  ~RecordsHold() { Release(); }
  void Release();

 private:
  friend class ScanController;
  explicit RecordsHold(std::weak_ptr<ScanController*> controller) : controller_(std::move(controller)) {}
  std::weak_ptr<ScanController*> controller_;
};

class ScanController {
 public:
  ScanController(const platform::System& system, activity::AppState& state, common::StatusSink& status,
                 ScanEvents& events, UiPoster post);
  ~ScanController();
  ScanController(const ScanController&) = delete;
  ScanController& operator=(const ScanController&) = delete;

  // Starts scanning `record` (a drive root or folder placed in the drive list's tree),
  // two levels deep when `shallow`. False, and nothing done, while a worker still runs
  // (even one that was told to stop): a second scan could replace records the first is
  // about to hand over. Callers check ScanInProgress first, as for every scan command.
  // `travelTarget` names the subfolder of the current item to select once the scan ends.
  bool StartScan(CFolderInfo& record, bool shallow = false, std::optional<std::string> travelTarget = {}) {
    return StartScan(record, {&record}, shallow, std::move(travelTarget));
  }
  // One scan that reads each of `folders` (records at or below `item`, none of them
  // below another) in turn, and leaves every other record alone. ScanStarted and
  // SubtreePlaced come for each folder, ScanFinished once, for `item`. Once stopped, the
  // folders not yet begun stay as they were.
  bool StartScan(CFolderInfo& item, std::vector<CFolderInfo*> folders, bool shallow = false,
                 std::optional<std::string> travelTarget = {});
  // The worker thread exists (from StartScan until the scan is closed): the
  // ScanThread that Rescan and the frame's update handlers test.
  bool ScanThreadRunning() const { return workerActive_; }
  // A shallow scan runs, from StartScan until its ScanFinished has returned.
  bool ShallowScanRunning() const { return workerActive_ && shallow_; }
  // Runs `call` on the UI thread once the running scan is closed; now when none runs.
  void WhenScanClosed(std::function<void()> call);
  // Starts a full scan of the record `current` gives, now or, while a worker runs, as soon as
  // its scan is closed (asking `current` again then).
  void Rescan(std::function<CFolderInfo*()> current);
  // While a scan runs: clears ScanInProgress and ContinueAutoScan and the DriveScanned
  // flag of the drive the scan started on. The worker finishes what it is listing,
  // still reads the starting folder's direct subfolders, and closes normally.
  void StopScanning();
  // Starts the start-up scan: for each of `driveLetters` in order whose drive is fixed,
  // `selectDrive` makes the drive current and returns its root record, which is
  // scanned; the next drive starts once that scan is closed, and the queue is dropped
  // when ContinueAutoScan is 0.
  void StartAutoScan(std::vector<char> driveLetters, std::function<CFolderInfo*(char)> selectDrive);
  // Drives of the start-up scan are still queued or being scanned.
  bool AutoScanActive() const { return autoScanActive_; }

  // While a hold is alive, everything that would change records on the UI thread
  // waits: a finished scan's hand-over (and with it the refresh of the tree and the
  // Files list), the start of the next start-up drive, a rescan waiting for its turn,
  // and whatever was given to WhenRecordsFree. They run, in order, once the last hold
  // has ended. The worker itself goes on reading into its private records meanwhile.
  RecordsHold HoldRecords();
  bool RecordsHeld() const { return holds_ != 0; }
  // Runs `call` on the UI thread later, once no hold is alive.
  void WhenRecordsFree(std::function<void()> call);

 private:
  friend class RecordsHold;
  using Self = std::shared_ptr<ScanController*>;
  using Handle = std::weak_ptr<ScanController*>;
  // Runs `call` on the UI thread, unless the controller is gone by then. Threads take
  // their handle on the UI thread before they start.
  void Post(const Handle& handle, std::function<void(ScanController&)> call) const;
  void Finish(const std::shared_ptr<std::vector<ScannedSubtree>>& scanned);
  void RunAfterScan();
  // Starts the scan of the next queued fixed drive, once no other scan runs.
  void StartNextAutoDrive();
  void RunOrDefer(std::function<void(ScanController&)> call);
  void ReleaseHold();

  const platform::System& system_;
  activity::AppState& state_;
  common::StatusSink& status_;
  ScanEvents& events_;
  UiPoster post_;
  // Posted calls hold it weakly, so that those arriving after destruction do nothing.
  Self self_;

  // UI thread only.
  std::thread worker_;
  bool workerActive_ = false;
  CFolderInfo* scanned_ = nullptr;        // the item the scan was asked for
  std::vector<CFolderInfo*> parts_;       // the folders it reads, in order
  char scanDrive_ = 0;
  bool shallow_ = false;                  // the running scan reads two levels only
  std::optional<std::string> travelTarget_;  // what the running scan selects at its end
  std::vector<std::function<void()>> afterScan_;
  int holds_ = 0;
  std::vector<std::function<void(ScanController&)>> deferred_;
  // The start-up scan: the drives still to scan, and whether the running scan is one.
  std::deque<char> autoDrives_;
  std::function<CFolderInfo*(char)> selectDrive_;
  bool autoScanActive_ = false;
  bool autoDriveRunning_ = false;
};

}  // namespace scan
