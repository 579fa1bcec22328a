#pragma once
// The application-wide values the program's parts share. One instance is owned by the
// application object (each test builds its own); flags a worker thread reads or writes
// are atomics. It lives here rather than in common/ because it holds the activity
// databases loaded at start-up; scan/, files/ and everything above may include it.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "common/hint_options.h"

namespace activity {

inline constexpr int kDriveCount = 26;
inline int DriveIndex(char letter) { return letter - 'A'; }

// Files list sort keys (FilesSortKey values). The first fourteen also name the list's
// columns, left to right: a column is the key that orders it.
enum FilesSort : std::uint8_t {
  kSortName = 0, kSortAction = 1, kSortState = 2, kSortHint = 3, kSortSize = 4,
  kSortCompressedSize = 5, kSortActualSize = 6, kSortUsedPercent = 7,
  kSortAccessCounter = 8, kSortLastAccess = 9, kSortLastOperation = 10,
  kSortReadOnly = 11, kSortWriteOnly = 12, kSortReadWrite = 13, kSortType = 15,
};

// Folders tree sort keys (FolderSortKey values).
enum FolderSort : std::uint8_t { kFolderSortByName = 0, kFolderSortByAccessCounter = 1 };

struct AppState {
  // --- start-up and frame ---
  std::int32_t AutoScan = 0;
  std::uint32_t StartupStamp = 0;                 // DOS date-time, UTC
  std::array<bool, kDriveCount> CompressibleDrive{};
  activity::NetworkNames NetworkName{};
  bool ShowNewDatabaseState = true;
  std::uint8_t FolderSortKey = 1;                 // 1 access counter, 0 name
  std::uint8_t FilesSortKey = kSortAccessCounter;

  // --- activity databases (loaded at start-up, read-only for workers afterwards) ---
  activity::DriveTable driveTable;
  activity::AccessTables accessTables;
  // Each watched drive's coverage file as read at start-up, by drive index.
  std::array<activity::CoverageLoad, kDriveCount> coverage{};
  // The recorder refused this user its files: nothing of them is read or written, and
  // the window shows space figures only.
  bool ActivityRefused = false;

  // --- scan ---
  std::atomic<bool> ScanInProgress{false};
  std::atomic<bool> ContinueAutoScan{false};
  std::array<std::atomic<bool>, kDriveCount> DriveScanned{};
  std::atomic<bool> RefreshAfterScan{true};
  std::atomic<bool> PendingClusterAnalysis{false};

  // --- actions ---
  std::atomic<std::uint32_t> PendingActionCount{0};

  // --- hints (kept for the run, never saved) ---
  common::HintOptions HintOptions;
};

}  // namespace activity
