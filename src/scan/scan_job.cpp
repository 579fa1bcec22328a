#include "scan/scan_job.h"

#include <algorithm>
#include <stdexcept>

#include "common/space.h"
#include "platform/system.h"
#include "scan/carry_actions.h"
#include "scan/directory_walk.h"
#include "scan/hard_links.h"
#include "scan/heap_usage.h"
#include "scan/record_builder.h"
#include "scan/scan_tally.h"
#include "scan/scan_texts.h"
#include "activity/app_state.h"
#include "activity/pending_actions.h"
#include "common/status_sink.h"

namespace scan {

ScanRequest RequestFor(const CFolderInfo& record, bool shallow) {
  ScanRequest request{record.path(), shallow, record.subfoldersPending};
  if (request.path.size() < 3) throw std::invalid_argument("only a drive or folder record can be scanned");
  return request;
}

void MarkScanStarted(activity::AppState& state, const CFolderInfo& record, const ScanRequest& request) {
  const bool driveRoot = &record.DriveRecord() == &record;
  if (!request.shallow && driveRoot) state.DriveScanned[activity::DriveIndex(request.path.front())] = true;
  state.ScanInProgress = true;
}

ScannedSubtree ScanSubtree(const ScanRequest& request, const platform::System& system,
                           const activity::AppState& state, common::StatusSink& status,
                           ScanWatcher* watcher) {
  status.ShowStatus(kDeletingPreviousData);
  ScannedSubtree scanned;
  scanned.root = std::make_unique<CFolderInfo>();
  scanned.root->subfoldersPending = request.subfoldersPending;
  scanned.clusterSize = common::DriveSpace(system, request.path.substr(0, 3)).clusterSize;

  RecordBuilder builder(*scanned.root, request.path.front(), scanned.clusterSize, state.accessTables);
  WalkOptions options;
  options.networkNames = &state.NetworkName;
  options.shallow = request.shallow;
  options.inProgress = &state.ScanInProgress;
  options.status = &status;
  if (watcher != nullptr) {
    TallyingSink tallying(builder, *watcher);
    ScanFolder(system, request.path, options, tallying);
  } else {
    ScanFolder(system, request.path, options, builder);
  }
  ReturnFreeHeap();

  scanned.entries = builder.EntriesAdded();
  scanned.foldersListed = builder.FoldersListed();
  scanned.foldersUnreadable = builder.FoldersUnreadable();
  return scanned;
}

std::uint32_t PlaceSubtree(CFolderInfo& target, ScannedSubtree& scanned, activity::AppState& state) {
  const std::uint32_t dropped = CarryActions(target, *scanned.root);
  if (dropped != 0) activity::LowerPendingActionCount(state.PendingActionCount, dropped);
  target.TakeContents(*scanned.root);
  return dropped;
}

void ShowScanClosed(common::StatusSink& status, std::uint32_t actionsDropped) {
  if (actionsDropped == 0) {
    status.ShowIdle();
  } else {
    status.ShowStatus(std::to_string(actionsDropped) + kActionsDropped);
  }
}

void RecalculateDrive(CFolderInfo& driveRecord, std::span<CFolderInfo* const> placed,
                      std::uint64_t clusterSize, common::StatusSink& status) {
  status.ShowStatus(kRecalculatingDrive);
  if (placed.size() == 1 && placed.front() == &driveRecord) return;
  // The scan's own marks knew nothing of the links elsewhere on the drive.
  MarkLaterLinks(driveRecord);
  driveRecord.Recalculate(clusterSize);
}

ScannedSubtree ScanInPlace(CFolderInfo& record, bool shallow, const platform::System& system,
                           activity::AppState& state, common::StatusSink& status,
                           ScanWatcher* watcher) {
  const ScanRequest request = RequestFor(record, shallow);
  MarkScanStarted(state, record, request);
  ScannedSubtree scanned = ScanSubtree(request, system, state, status, watcher);
  const std::uint32_t dropped = PlaceSubtree(record, scanned, state);
  CFolderInfo* const placed = &record;
  RecalculateDrive(record.DriveRecord(), std::span(&placed, 1), scanned.clusterSize, status);
  BeginScanEnd(state, shallow);
  CompleteScanEnd(state);
  ShowScanClosed(status, dropped);
  return scanned;
}

ScanEnding BeginScanEnd(activity::AppState& state, bool shallow, std::optional<std::string> travelTarget) {
  state.ScanInProgress = false;
  ScanEnding ending;
  ending.refresh = state.RefreshAfterScan;
  ending.shallow = shallow;
  ending.travelTarget = std::move(travelTarget);
  return ending;
}

bool CompleteScanEnd(activity::AppState& state) {
  state.RefreshAfterScan = true;
  return state.PendingClusterAnalysis.exchange(false);
}

}  // namespace scan
