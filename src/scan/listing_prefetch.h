#pragma once
// Folders the walk will list later, which another thread may list in advance.
//
// The walk's lister is the slow side of a scan (one statx per file and more). When it
// has listed a folder it announces the subfolders it will descend into after the first
// one; a thread with nothing else to do lists the nearest of them ahead, all but the
// very nearest few, which the lister would reach before their reading ended. When the
// lister reaches a folder it takes that listing (waiting if it is being read right now)
// or reads the folder itself. Which thread reads a folder never changes what the walk
// reports, only when the reading happens.

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "scan/folder_listing.h"
#include "scan/listing_pool.h"

namespace platform { class System; }

namespace scan {

struct ReadListing {
  std::unique_ptr<FolderListing> listing;
  bool listed = false;
};

class ListingPrefetch {
 public:
  // Listings for the folders read ahead come from `pool`.
  ListingPrefetch(const platform::System& system, ListingPool& pool) : system_(system), pool_(pool) {}

  // Lister: folders it will reach later, the one it reaches first last.
  void Announce(std::vector<std::string> paths);
  // Lister, on reaching `path`: its listing when another thread has read it or is
  // reading it, nothing when the lister is to read it itself. Until that read ends, the
  // lister reads the nearest announced folders ahead itself.
  std::optional<ReadListing> TakeReadAhead(const std::string& path);
  // Another thread: reads the nearest announced folder ahead. False when none is
  // waiting or enough are read ahead already.
  bool ReadOne();

 private:
  // The nearest announced folder but for `passing` nearer ones, now marked as being
  // read; empty when there is none or `maxAhead` are read ahead already. Under the lock.
  std::string ClaimNearest(std::size_t passing, std::size_t maxAhead);
  // Reads a claimed folder and makes it ready, or gives the folder back to the lister
  // when the read throws.
  bool ReadClaimed(const std::string& path);

  enum class State { Announced, Reading, Ready };
  struct Slot {
    State state = State::Announced;
    ReadListing read;
  };
  // Listings read ahead and not yet taken, at most: bounds the memory they hold.
  static constexpr std::size_t kMaxAhead = 16;
  // The lister, waiting for a large folder, may go further: the other thread has filled
  // the first kMaxAhead by then, and the lister would have nothing to do.
  static constexpr std::size_t kMaxAheadWhileWaiting = 4 * kMaxAhead;
  // The nearest announced folders are left to the lister: it reaches them so soon that
  // reading one ahead mostly makes the lister wait for the read to end. Two measured
  // best, on shallow and deep trees alike.
  static constexpr std::size_t kLeftToLister = 2;

  const platform::System& system_;
  ListingPool& pool_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::map<std::string, Slot, std::less<>> slots_;
  std::vector<std::string> nearestLast_;  // announced paths; stale ones are skipped
  std::size_t ahead_ = 0;                 // slots reading or ready
};

}  // namespace scan
