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

namespace platform { class System; }

namespace scan {

struct ReadListing {
  std::unique_ptr<FolderListing> listing;
  bool listed = false;
};

class ListingPrefetch {
 public:
  explicit ListingPrefetch(const platform::System& system) : system_(system) {}

  // Lister: folders it will reach later, the one it reaches first last.
  void Announce(std::vector<std::string> paths);
  // Lister, on reaching `path`: its listing when another thread has read it or is
  // reading it (waiting for the end), nothing when the lister is to read it itself.
  std::optional<ReadListing> TakeReadAhead(const std::string& path);
  // Another thread: reads the nearest announced folder into `spare`. False (leaving
  // `spare` as it was) when none is waiting or enough are read ahead already.
  bool ReadOne(std::unique_ptr<FolderListing>& spare);

 private:
  enum class State { Announced, Reading, Ready };
  struct Slot {
    State state = State::Announced;
    ReadListing read;
  };
  // Listings read ahead and not yet taken, at most: bounds the memory they hold.
  static constexpr std::size_t kMaxAhead = 16;
  // The nearest announced folders are left to the lister: it reaches them so soon that
  // reading one ahead mostly makes the lister wait for the read to end. Two measured
  // best, on shallow and deep trees alike.
  static constexpr std::size_t kLeftToLister = 2;

  const platform::System& system_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::map<std::string, Slot, std::less<>> slots_;
  std::vector<std::string> nearestLast_;  // announced paths; stale ones are skipped
  std::size_t ahead_ = 0;                 // slots reading or ready
};

}  // namespace scan
