#pragma once
// Folder listings for reuse by the walk's threads.
//
// Listings are recycled so that their buffers keep their capacity; but not the buffers
// of a large folder, or every pooled listing would in time grow to the largest folder
// it ever held; and not more than a few dozen, or the pool would keep as many as were
// ever in flight at once (about 500 listings, 2.3 MB, at the end of a scan of /usr).

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "scan/folder_listing.h"

namespace scan {

class ListingPool {
 public:
  std::unique_ptr<FolderListing> Take() {
    const std::lock_guard lock(mutex_);
    if (free_.empty()) return std::make_unique<FolderListing>();
    auto listing = std::move(free_.back());
    free_.pop_back();
    return listing;
  }
  void Give(std::unique_ptr<FolderListing> listing) {
    if (listing->HeldBytes() > kMaxPooledBytes) return;
    const std::lock_guard lock(mutex_);
    if (free_.size() < kMaxPooled) free_.push_back(std::move(listing));
  }

 private:
  static constexpr std::size_t kMaxPooledBytes = 16 * 1024;
  static constexpr std::size_t kMaxPooled = 64;

  std::mutex mutex_;
  std::vector<std::unique_ptr<FolderListing>> free_;
};

}  // namespace scan
