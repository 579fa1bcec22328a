#include "scan/listing_prefetch.h"

#include <utility>

namespace scan {

void ListingPrefetch::Announce(std::vector<std::string> paths) {
  const std::lock_guard lock(mutex_);
  for (std::string& path : paths) {
    slots_.try_emplace(path);
    nearestLast_.push_back(std::move(path));
  }
  work_.notify_all();
}

void ListingPrefetch::Close() {
  {
    const std::lock_guard lock(mutex_);
    closed_ = true;
  }
  work_.notify_all();
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
    work_.notify_all();
  }
  slots_.erase(slot);
  return read;
}

std::string ListingPrefetch::ClaimLocked() {
  if (ahead_ >= kMaxAhead) return {};
  while (!nearestLast_.empty()) {
    std::string path = std::move(nearestLast_.back());
    nearestLast_.pop_back();
    const auto slot = slots_.find(path);
    if (slot != slots_.end() && slot->second.state == State::Announced) {
      slot->second.state = State::Reading;
      ++ahead_;
      return path;
    }
  }
  return {};
}

bool ListingPrefetch::ReadOne(std::unique_ptr<FolderListing>& spare) {
  std::string path;
  {
    const std::lock_guard lock(mutex_);
    path = ClaimLocked();
  }
  return !path.empty() && ReadClaimed(path, spare);
}

bool ListingPrefetch::ReadNextWaiting(std::unique_ptr<FolderListing>& spare) {
  std::string path;
  {
    std::unique_lock lock(mutex_);
    work_.wait(lock, [&] {
      if (closed_) return true;
      path = ClaimLocked();
      return !path.empty();
    });
    if (closed_ && path.empty()) return false;
  }
  ReadClaimed(path, spare);
  return true;
}

bool ListingPrefetch::ReadClaimed(const std::string& path, std::unique_ptr<FolderListing>& spare) {
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
