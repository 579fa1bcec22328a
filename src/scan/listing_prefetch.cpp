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
  ready_.wait(lock, [&] { return slot->second.state != State::Reading; });
  std::optional<ReadListing> read;
  if (slot->second.state == State::Ready) {
    read = std::move(slot->second.read);
    --ahead_;
  }
  slots_.erase(slot);
  return read;
}

bool ListingPrefetch::ReadOne(std::unique_ptr<FolderListing>& spare) {
  std::string path;
  {
    const std::lock_guard lock(mutex_);
    if (ahead_ >= kMaxAhead) return false;
    // Stale paths (taken by the lister, or read ahead already) are dropped on the way.
    std::size_t passed = 0;
    for (std::size_t i = nearestLast_.size(); i-- > 0;) {
      const auto slot = slots_.find(nearestLast_[i]);
      if (slot == slots_.end() || slot->second.state != State::Announced) {
        nearestLast_.erase(nearestLast_.begin() + static_cast<std::ptrdiff_t>(i));
        continue;
      }
      if (passed++ < kLeftToLister) continue;
      path = std::move(nearestLast_[i]);
      nearestLast_.erase(nearestLast_.begin() + static_cast<std::ptrdiff_t>(i));
      slot->second.state = State::Reading;
      ++ahead_;
      break;
    }
    if (path.empty()) return false;
  }
  bool listed = false;
  try {
    listed = spare->Read(system_, path);
  } catch (...) {
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
    slot.read.listing = std::move(spare);
    slot.read.listed = listed;
    slot.state = State::Ready;
  }
  ready_.notify_all();
  return true;
}

}  // namespace scan
