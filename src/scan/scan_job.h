#pragma once
// One scan, split by thread.
//
// The worker reads the folder into a private record tree (ScanSubtree): nothing it writes
// is visible to any view. The UI thread then puts the finished tree in place of the old
// contents (PlaceSubtree), recalculates the drive (RecalculateDrive) and closes the scan
// (BeginScanEnd / CompleteScanEnd). No record is ever read by one thread while another
// writes it.

#include <cstdint>
#include <memory>
#include <span>
#include <optional>
#include <string>

#include "scan/folder_info.h"

namespace platform { class System; }
namespace activity { struct AppState; }
namespace common { class StatusSink; }

namespace scan {

class ScanWatcher;

struct ScanRequest {
  std::string path;                    // the folder the scan starts from, ending in '\'
  bool shallow = false;                // two levels only: the folder and its subfolders
  // The record's mark when the scan started; it keeps it when the folder can't be listed.
  std::uint8_t subfoldersPending = 1;
};

// Taken on the UI thread from the record the scan is to start from. Throws
// std::invalid_argument for a record that is not placed below a drive list.
ScanRequest RequestFor(const CFolderInfo& record, bool shallow);

// UI thread, as the scan starts: ScanInProgress set, and DriveScanned for a full scan
// that starts from a drive's root.
void MarkScanStarted(activity::AppState& state, const CFolderInfo& record, const ScanRequest& request);

struct ScannedSubtree {
  std::unique_ptr<CFolderInfo> root;   // detached: no parent
  std::uint64_t clusterSize = 0;
  std::uint64_t entries = 0;           // entries added, files and folders, all levels
  std::uint64_t foldersListed = 0;
  std::uint64_t foldersUnreadable = 0;  // folders whose listing failed
};

// Worker thread. Reads only the read-only parts of `state` (access tables, network
// names) and ScanInProgress; shows "Deleting previously scanned data ..." and the
// "Looking in: " texts. `watcher`, when given, hears the running counts.
ScannedSubtree ScanSubtree(const ScanRequest& request, const platform::System& system,
                           const activity::AppState& state, common::StatusSink& status,
                           ScanWatcher* watcher = nullptr);

// UI thread: `target` takes the scanned contents; its old subtree is deleted. Selected
// actions go over to the entries of the same name and kind; PendingActionCount loses
// those that found none, and their number is answered.
std::uint32_t PlaceSubtree(CFolderInfo& target, ScannedSubtree& scanned, activity::AppState& state);
// The idle prompt, or where actions were dropped by the scan just placed, how many.
void ShowScanClosed(common::StatusSink& status, std::uint32_t actionsDropped);

// UI thread: "Recalculating drive information ..." and Recalculate on the whole drive,
// after the scan placed its trees in `placed`. A scan sums each folder as the walk leaves
// it, so when it placed the drive's root record there is nothing left to sum.
void RecalculateDrive(CFolderInfo& driveRecord, std::span<CFolderInfo* const> placed,
                      std::uint64_t clusterSize, common::StatusSink& status);

struct ScanEnding {
  bool refresh = true;   // RefreshAfterScan: update the tree selection and the Files list
  bool shallow = false;  // the scan that ended was shallow
  // The subfolder of the current item to select, when the Files list asked for one.
  std::optional<std::string> travelTarget;
};

// The whole scan on the calling thread, for callers without a window (norvex-cli,
// tests): the same steps and flags as a scan started from the folders tree, with the
// subtree placed at once. `record` must be placed below a drive list.
ScannedSubtree ScanInPlace(CFolderInfo& record, bool shallow, const platform::System& system,
                           activity::AppState& state, common::StatusSink& status,
                           ScanWatcher* watcher = nullptr);

// Clears ScanInProgress and reads what the refresh needs; `shallow` and `travelTarget`
// are the request's.
ScanEnding BeginScanEnd(activity::AppState& state, bool shallow,
                        std::optional<std::string> travelTarget = std::nullopt);
// After the refresh: RefreshAfterScan set again. True when a cluster size analysis was
// waiting for this scan (its flag is then cleared).
bool CompleteScanEnd(activity::AppState& state);

}  // namespace scan
