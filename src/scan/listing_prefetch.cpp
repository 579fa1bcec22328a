#include "scan/listing_prefetch.h"

#include <utility>

namespace scan {

void ListingPrefetch::Announce(std::vector<std::string> paths) {
  const std::lock_guard lock(mutex_);
  for (std::string& path : paths) {
    slots_.try_emplace(path);
    nearestLast_.push_back(std::move(path));
  }
}

std::optional<ReadListing> ListingPrefetch::TakeReadAhead(const std::string& path) {
  std::unique_lock lock(mutex_);
  const auto slot = slots_.find(path);
  if (slot == slots_.end()) return std::nullopt;
  // A large folder can take the other thread many milliseconds: rather than wait for it,
  // the lister reads the folders it reaches next.
  while (slot->second.state == State::Reading) {
    const std::string next = ClaimNearest(0, kMaxAheadWhileWaiting);
    if (next.empty()) {
      ready_.wait(lock);
      continue;
    }
    lock.unlock();
    ReadClaimed(next);
    lock.lock();
  }
  std::optional<ReadListing> read;
  if (slot->second.state == State::Ready) {
    read = std::move(slot->second.read);
    --ahead_;
  }
  slots_.erase(slot);
  return read;
}

bool ListingPrefetch::ReadOne() {
  std::string path;
  {
    const std::lock_guard lock(mutex_);
    path = ClaimNearest(kLeftToLister, kMaxAhead);
  }
  return !path.empty() && ReadClaimed(path);
}

std::string ListingPrefetch::ClaimNearest(std::size_t passing, std::size_t maxAhead) {
  if (ahead_ >= maxAhead) return {};
  // Stale paths (taken by the lister, or read ahead already) are dropped on the way.
  std::size_t passed = 0;
  for (std::size_t i = nearestLast_.size(); i-- > 0;) {
    const auto at = nearestLast_.begin() + static_cast<std::ptrdiff_t>(i);
    const auto slot = slots_.find(*at);
    if (slot == slots_.end() || slot->second.state != State::Announced) {
      nearestLast_.erase(at);
      continue;
    }
    if (passed++ < passing) continue;
    std::string path = std::move(*at);
    nearestLast_.erase(at);
    slot->second.state = State::Reading;
    ++ahead_;
    return path;
  }
  return {};
}

bool ListingPrefetch::ReadClaimed(const std::string& path) {
  std::unique_ptr<FolderListing> listing = pool_.Take();
  bool listed = false;
  try {
    listed = listing->Read(system_, path);
  } catch (...) {
    pool_.Give(std::move(listing));
    // Left to the lister, which reads it again and meets the failure itself.
    {
      const std::lock_guard lock(mutex_);
      slots_.find(path)->second.state = State::Announced;
      --ahead_;
    }
    ready_.notify_all();
    return false;
  }
  {
    const std::lock_guard lock(mutex_);
    Slot& slot = slots_.find(path)->second;
    slot.read.listing = std::move(listing);
    slot.read.listed = listed;
    slot.state = State::Ready;
  }
  ready_.notify_all();
  return true;
}

}  // namespace scan
