#include "scan/scan_controller.h"

#include <utility>

#include "platform/system.h"
#include "activity/app_state.h"
#include "common/status_sink.h"

namespace scan {

ScanController::ScanController(const platform::System& system, activity::AppState& state,
                               common::StatusSink& status, ScanEvents& events, UiPoster post)
    : system_(system),
      state_(state),
      status_(status),
      events_(events),
      post_(std::move(post)),
      self_(std::make_shared<ScanController*>(this)) {}

ScanController::~ScanController() {
  self_.reset();
  // Whatever runs now is abandoned: let the walk wind down as after Stop scanning.
  if (autoScanActive_) state_.ContinueAutoScan = false;
  if (workerActive_) state_.ScanInProgress = false;
  if (worker_.joinable()) worker_.join();
}

void ScanController::Post(const Handle& handle, std::function<void(ScanController&)> call) const {
  post_([handle, call = std::move(call)]() mutable {
    if (const Self self = handle.lock()) (*self)->RunOrDefer(std::move(call));
  });
}

void ScanController::RunOrDefer(std::function<void(ScanController&)> call) {
  if (holds_ != 0) {
    deferred_.push_back(std::move(call));
    return;
  }
  call(*this);
}

RecordsHold ScanController::HoldRecords() {
  ++holds_;
  return RecordsHold(Handle(self_));
}

void ScanController::ReleaseHold() {
  if (holds_ == 0 || --holds_ != 0) return;
  // Posted, not run here: the hold ends in a destructor, perhaps deep inside the code
  // that took it.
  for (auto& call : std::exchange(deferred_, {})) Post(Handle(self_), std::move(call));
}

void ScanController::WhenRecordsFree(std::function<void()> call) {
  Post(Handle(self_), [call = std::move(call)](ScanController&) { call(); });
}

RecordsHold& RecordsHold::operator=(RecordsHold&& other) noexcept {
  if (this != &other) {
    Release();
    controller_ = std::move(other.controller_);
    other.controller_.reset();
  }
  return *this;
}

void RecordsHold::Release() {
  if (const auto controller = controller_.lock()) (*controller)->ReleaseHold();
  controller_.reset();
}

bool ScanController::StartScan(CFolderInfo& item, std::vector<CFolderInfo*> folders, bool shallow,
                               std::optional<std::string> travelTarget) {
  if (workerActive_ || folders.empty()) return false;
  std::vector<ScanRequest> requests;
  for (const CFolderInfo* folder : folders) requests.push_back(RequestFor(*folder, shallow));
  scanned_ = &item;
  shallow_ = shallow;
  travelTarget_ = std::move(travelTarget);
  parts_ = std::move(folders);
  scanDrive_ = requests.front().path.front();
  // On this thread rather than the worker's, so that a Stop arriving at once clears
  // DriveScanned for good.
  for (std::size_t i = 0; i < parts_.size(); ++i) MarkScanStarted(state_, *parts_[i], requests[i]);
  workerActive_ = true;
  for (CFolderInfo* folder : parts_) events_.ScanStarted(*folder);

  if (worker_.joinable()) worker_.join();
  worker_ = std::thread([this, requests = std::move(requests), handle = Handle(self_)] {
    auto scanned = std::make_shared<std::vector<ScannedSubtree>>();
    for (const ScanRequest& request : requests) {
      if (!scanned->empty() && !state_.ScanInProgress) break;  // stopped
      scanned->push_back(ScanSubtree(request, system_, state_, status_));
    }
    Post(handle, [scanned](ScanController& controller) { controller.Finish(scanned); });
  });
  return true;
}

void ScanController::Finish(const std::shared_ptr<std::vector<ScannedSubtree>>& scanned) {
  std::uint32_t dropped = 0;
  for (std::size_t i = 0; i < scanned->size(); ++i) {
    dropped += PlaceSubtree(*parts_[i], (*scanned)[i], state_);
    events_.SubtreePlaced(*parts_[i]);
  }
  CFolderInfo& record = *scanned_;
  RecalculateDrive(record.DriveRecord(), parts_, scanned->front().clusterSize, status_);
  const ScanEnding ending = BeginScanEnd(state_, shallow_, std::exchange(travelTarget_, std::nullopt));
  worker_.join();
  events_.ScanFinished(record, ending);
  const bool analysisPending = CompleteScanEnd(state_);
  // Only now: a scan started from the callbacks would otherwise have its flags reset.
  workerActive_ = false;
  if (analysisPending) events_.ClusterAnalysisPending();
  ShowScanClosed(status_, dropped);
  RunAfterScan();
  if (std::exchange(autoDriveRunning_, false)) {
    Post(Handle(self_), [](ScanController& controller) { controller.StartNextAutoDrive(); });
  }
}

void ScanController::RunAfterScan() {
  auto waiting = std::exchange(afterScan_, {});
  for (auto& call : waiting) {
    Post(Handle(self_), [call = std::move(call)](ScanController&) { call(); });
  }
}

void ScanController::WhenScanClosed(std::function<void()> call) {
  if (workerActive_) {
    afterScan_.push_back(std::move(call));
  } else {
    call();
  }
}

void ScanController::Rescan(std::function<CFolderInfo*()> current) {
  if (workerActive_) {
    afterScan_.push_back([this, current] { Rescan(current); });
    return;
  }
  if (CFolderInfo* record = current()) StartScan(*record);
}

void ScanController::StopScanning() {
  if (!workerActive_) return;
  state_.ScanInProgress = false;
  state_.ContinueAutoScan = false;
  if (scanDrive_ != 0) state_.DriveScanned[activity::DriveIndex(scanDrive_)] = false;
}

void ScanController::StartAutoScan(std::vector<char> driveLetters,
                                   std::function<CFolderInfo*(char)> selectDrive) {
  autoDrives_.assign(driveLetters.begin(), driveLetters.end());
  selectDrive_ = std::move(selectDrive);
  autoScanActive_ = true;
  state_.ContinueAutoScan = true;
  Post(Handle(self_), [](ScanController& controller) { controller.StartNextAutoDrive(); });
}

void ScanController::StartNextAutoDrive() {
  if (workerActive_) {
    // Another scan came first: this drive waits for its close.
    if (!autoDriveRunning_) afterScan_.push_back([this] { StartNextAutoDrive(); });
    return;
  }
  while (!autoDrives_.empty() && state_.ContinueAutoScan) {
    const char letter = autoDrives_.front();
    autoDrives_.pop_front();
    if (system_.GetDriveType(letter) != platform::DriveType::Fixed) continue;
    CFolderInfo* record = selectDrive_ ? selectDrive_(letter) : nullptr;
    if (record && StartScan(*record)) {
      autoDriveRunning_ = true;
      return;
    }
  }
  autoDrives_.clear();
  autoScanActive_ = false;
}

}  // namespace scan
