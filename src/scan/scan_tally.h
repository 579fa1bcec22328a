#pragma once
// Running counts of a scan as the walk goes, for callers without a window that show
// its progress (norvex-cli on a terminal).

#include <cstdint>

#include "scan/directory_walk.h"

namespace scan {

struct ScanTally {
  std::uint64_t entries = 0;        // files and folders met, all levels
  std::uint64_t foldersListed = 0;
  std::uint64_t bytes = 0;          // the files' sizes
};

// Called on the thread that runs the scan as each folder is entered and left, and every
// kTallyEvery entries within one; the last call has the final counts.
class ScanWatcher {
 public:
  virtual ~ScanWatcher() = default;
  virtual void Counted(const ScanTally& tally) = 0;
};

inline constexpr std::uint64_t kTallyEvery = 1024;

// Counts what passes on its way to `next` and tells `watcher` now and then.
class TallyingSink final : public WalkSink {
 public:
  TallyingSink(WalkSink& next, ScanWatcher& watcher) : next_(next), watcher_(watcher) {}

  void FolderEntered(const FolderStep& folder) override;
  void Entry(const WalkEntry& entry) override;
  void FolderLeft(const FolderEnd& end) override;

 private:
  WalkSink& next_;
  ScanWatcher& watcher_;
  ScanTally tally_;
};

}  // namespace scan
