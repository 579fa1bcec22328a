#pragma once
// The directory walk of a scan (ScanFolder), apart from what consumes it.
//
// The walk lists the folder it starts from and the folders below it that the depth rules
// reach, and reports each folder to a WalkSink: FolderEntered once it is listed, one
// Entry per listing item in listing order, then (after its subfolders) FolderLeft. The
// same walk builds the folder records, feeds norvex-cli and lets tests watch it.
//
// Per file it costs one listing item (one statx), one path key and whatever the sink
// does (the records add one access-table lookup).
//
// Depth rules: the starting folder is depth 1. A subfolder is descended into when the
// depth is below 2, or when the scan is still in progress and is not shallow. So a
// shallow scan reads two levels, and a stopped scan still lists the starting folder's
// direct subfolders but nothing deeper.

#include <atomic>
#include <cstdint>
#include <string_view>

#include "activity/path_key.h"
#include "scan/file_traits.h"

namespace platform { class System; }
namespace common { class StatusSink; }

namespace scan {

struct FolderStep {
  std::string_view path;             // ends in a backslash
  int depth = 1;                     // 1 for the folder the walk starts from
  std::uint32_t entryInParent = 0;   // its entry in the parent's listing (depth > 1)
  bool listed = false;               // false: it could not be opened; no entries follow
  std::uint8_t subfoldersPending = 0;  // for the folder's record, when listed
  std::uint32_t entryCount = 0;
  std::uint32_t folderCount = 0;
  std::size_t nameBytes = 0;
};

struct WalkEntry {
  std::string_view name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;            // 0 for a folder
  std::uint64_t compressedSize = 0;  // the size itself when the query failed
  std::uint64_t key = 0;             // the file's path key; 0 for a folder
  bool isFolder = false;
  // Only for the files that have traits (several links, shared data, not a regular
  // file); valid during the call.
  const FileTraits* traits = nullptr;
};

struct FolderEnd {
  std::string_view path;
  int depth = 1;
  // Read by a full scan that was still in progress when the folder was finished.
  bool complete = false;
};

class WalkSink {
 public:
  virtual ~WalkSink() = default;
  virtual void FolderEntered(const FolderStep& folder) = 0;
  virtual void Entry(const WalkEntry& entry) = 0;
  virtual void FolderLeft(const FolderEnd& end) = 0;
};

struct WalkOptions {
  const activity::NetworkNames* networkNames = nullptr;  // required
  bool shallow = false;
  // ScanInProgress: clearing it stops the walk as described above; null never stops.
  const std::atomic<bool>* inProgress = nullptr;
  // Receives "Looking in: " and the path before each folder is listed; may be null.
  // With listAhead it is called on the listing thread.
  common::StatusSink* status = nullptr;
  // Lists folders on a second thread while the calling thread computes path keys and
  // feeds the sink. The sink sees the same calls in the same order either way, all on
  // the calling thread.
  bool listAhead = true;
};

// Walks from `folderPath` (a Windows path ending in a backslash).
void ScanFolder(const platform::System& system, std::string_view folderPath,
                const WalkOptions& options, WalkSink& sink);

}  // namespace scan
