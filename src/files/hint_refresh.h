#pragma once
// Refreshing every hint of the scanned drives in short steps, which a window spreads
// between its events: the hints of ten million files take seconds, longer than any
// window may stop answering.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "files/hints.h"
#include "files/link_groups.h"
#include "files/record_doubt.h"

namespace files {

class HintRefresh {
 public:
  using Clock = std::chrono::steady_clock;

  // Until the refresh is done or dropped, every record below `driveList` must stay in
  // place and no other thread may change one; `state` and `system` must outlive it.
  HintRefresh(scan::CFolderInfo& driveList, const activity::AppState& state, const platform::System& system);
  HintRefresh(const HintRefresh&) = delete;
  HintRefresh& operator=(const HintRefresh&) = delete;

  // Works until `deadline` has passed (one step at least) or every hint is refreshed;
  // true once they are.
  bool Advance(Clock::time_point deadline);
  bool Done() const { return phase_ == Phase::Done; }

 private:
  enum class Phase { NextDrive, Walk, SharedKeys, Hints, Done };
  void StartNextDrive();
  void Walk();
  void SearchSharedKeys();
  void HintNextRecord();

  scan::CFolderInfo& driveList_;
  const activity::AppState& state_;
  const platform::System& system_;
  Phase phase_ = Phase::NextDrive;
  std::uint32_t nextDrive_ = 0;
  // A drive whose cluster size cannot be read keeps the one before it.
  std::uint64_t clusterSize_ = 0;
  HintDrive drive_;
  // The drive's records, each before the records below it: hinted from the end, every
  // subtree is hinted before the entry that holds it.
  std::vector<scan::CFolderInfo*> records_;
  std::vector<scan::CFolderInfo*> unvisited_;
  std::size_t unhinted_ = 0;
  LinkGroups links_;
  std::optional<SharedKeySearch> search_;
  SharedKeys sharedKeys_;
};

// Recomputes the hints of every entry of every scanned drive below `driveList` at once.
void RefreshHints(scan::CFolderInfo& driveList, const activity::AppState& state,
                  const platform::System& system);

}  // namespace files
