#include "scan/directory_walk.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/system.h"
#include "scan/folder_listing.h"
#include "scan/listing_pool.h"
#include "scan/listing_prefetch.h"
#include "scan/scan_texts.h"
#include "common/status_sink.h"

namespace scan {
namespace {

// One step of the walk as the lister produces it: a listed folder, or the end of one.
struct WalkEvent {
  std::unique_ptr<FolderListing> listing;  // null for the end of a folder
  FolderStep step;                         // path left empty: the listing holds it
  bool complete = false;                   // end of a folder: FolderEnd::complete
};

// Turns walk events into sink calls: computes the path keys of the listed folders, then
// reports each folder and its entries.
class Deliverer {
 public:
  Deliverer(const WalkOptions& options, WalkSink& sink, ListingPool& pool)
      : options_(options), sink_(sink), pool_(pool) {}

  // Keys are hashed many at once, across folders: the hasher's lanes stay full even
  // where folders hold a few files each.
  void Deliver(std::span<WalkEvent> events) {
    for (WalkEvent& event : events) {
      if (!event.listing || !event.step.listed) continue;
      FolderListing& listing = *event.listing;
      for (std::size_t i = 0; i < listing.Count(); ++i) {
        if (!listing.Item(i).IsFolder()) QueueKey(listing, i);
      }
    }
    HashQueuedKeys();
    for (WalkEvent& event : events) Deliver(event);
  }

 private:
  void Deliver(WalkEvent& event) {
    if (!event.listing) {
      sink_.FolderLeft(FolderEnd{open_.back(), static_cast<int>(open_.size()), event.complete});
      open_.pop_back();
      return;
    }
    FolderListing& listing = *event.listing;
    open_.emplace_back(listing.FolderPath());
    event.step.path = open_.back();
    sink_.FolderEntered(event.step);
    const std::span<const FileTraits> traits = listing.Traits();
    std::size_t nextTraits = 0;
    for (std::size_t i = 0; i < listing.Count(); ++i) {
      const ListedItem& item = listing.Item(i);
      const bool hasTraits = nextTraits < traits.size() && traits[nextTraits].entry == i;
      sink_.Entry(WalkEntry{listing.Name(i), item.attributes, item.size, item.compressedSize,
                            item.key, item.IsFolder(), hasTraits ? &traits[nextTraits++] : nullptr});
    }
    pool_.Give(std::move(event.listing));
  }

  void QueueKey(FolderListing& listing, std::size_t item) {
    pathText_.append(listing.FolderPath());
    pathText_.append(listing.Name(item));
    pathEnds_.push_back(pathText_.size());
    keyOwners_.push_back({&listing, item});
    if (keyOwners_.size() == kKeysPerHash) HashQueuedKeys();
  }

  void HashQueuedKeys() {
    paths_.clear();
    std::size_t begin = 0;
    for (const std::size_t end : pathEnds_) {
      paths_.push_back(std::string_view(pathText_).substr(begin, end - begin));
      begin = end;
    }
    keys_.resize(paths_.size());
    hasher_.Keys(paths_, *options_.networkNames, keys_);
    for (std::size_t k = 0; k < keyOwners_.size(); ++k) {
      keyOwners_[k].listing->SetKey(keyOwners_[k].item, keys_[k]);
    }
    pathText_.clear();
    pathEnds_.clear();
    keyOwners_.clear();
  }

  // Enough keys at once to keep the lanes full; few enough that the paths stay small.
  static constexpr std::size_t kKeysPerHash = 1024;

  struct KeyOwner {
    FolderListing* listing;
    std::size_t item;
  };

  const WalkOptions& options_;
  WalkSink& sink_;
  ListingPool& pool_;
  std::vector<std::string> open_;  // paths of the folders entered and not yet left
  activity::PathKeyHasher hasher_;
  // The files waiting for their keys: full paths end to end, where each ends, and whose.
  std::string pathText_;
  std::vector<std::size_t> pathEnds_;
  std::vector<KeyOwner> keyOwners_;
  std::vector<std::string_view> paths_;
  std::vector<std::uint64_t> keys_;
};

// Where the lister's events go.
class EventTarget {
 public:
  virtual ~EventTarget() = default;
  virtual void Push(WalkEvent event) = 0;
  // False once the receiving side has given up (the lister then stops early).
  virtual bool Wanted() const { return true; }
};

// The recursive folder step, up to the listing: shows where it is, lists the folder,
// and decides by the depth rules which subfolders to descend into.
class Lister {
 public:
  // With `prefetch`, another thread may read announced folders ahead.
  Lister(const platform::System& system, const WalkOptions& options, ListingPool& pool,
         EventTarget& target, ListingPrefetch* prefetch = nullptr)
      : system_(system), options_(options), pool_(pool), target_(target), prefetch_(prefetch) {}

  void Walk(std::string_view folderPath) {
    path_.assign(folderPath);
    Folder(1, 0, {});
  }

 private:
  bool InProgress() const { return !options_.inProgress || options_.inProgress->load(); }
  // Whether the subfolders of a folder at `depth` are read, asked as each is reached.
  bool Descends(int depth) const { return depth < 2 || (InProgress() && !options_.shallow); }

  struct Subfolder {
    std::string name;
    std::uint32_t entry;
  };

  // Keeps the folder at `depth` open for its subfolders, closing the one kOpenDepths
  // levels up: its remaining subfolders are opened by path.
  void Hold(int depth, std::unique_ptr<platform::OpenFolder> folder) {
    const auto level = static_cast<std::size_t>(depth - 1);
    if (held_.size() <= level) held_.resize(level + 1);
    held_[level] = std::move(folder);
    if (level >= kOpenDepths) held_[level - kOpenDepths].reset();
  }
  void Release(int depth) { held_[static_cast<std::size_t>(depth - 1)].reset(); }
  const platform::OpenFolder* HeldParent(int depth) const {
    return depth > 1 ? held_[static_cast<std::size_t>(depth - 2)].get() : nullptr;
  }

  // True when the folder and every folder below it were listed: a shallow scan reads a
  // folder without subfolders through as well as a deep one does.
  bool Folder(int depth, std::uint32_t entryInParent, std::string_view name) {
    if (!target_.Wanted()) return false;
    if (options_.status) options_.status->ShowStatus(kLookingIn + path_);

    WalkEvent event;
    FolderStep& step = event.step;
    step.depth = depth;
    step.entryInParent = entryInParent;
    if (auto ahead = prefetch_ ? prefetch_->TakeReadAhead(path_) : std::nullopt) {
      event.listing = std::move(ahead->listing);
      step.listed = ahead->listed;
      Hold(depth, nullptr);
    } else {
      event.listing = pool_.Take();
      std::unique_ptr<platform::OpenFolder> opened;
      step.listed = event.listing->ReadIn(system_, HeldParent(depth), name, path_, &opened);
      Hold(depth, std::move(opened));
    }
    const FolderListing& listing = *event.listing;
    const bool listed = step.listed;
    if (listed) {
      step.subfoldersPending = options_.shallow && depth == 2 ? 1 : 0;
      step.entryCount = static_cast<std::uint32_t>(listing.Count());
      step.folderCount = listing.FolderCount();
      step.nameBytes = listing.NameBytes();
    }
    // The listing goes to the other side; keep what the descent needs.
    std::vector<Subfolder> subfolders;
    subfolders.reserve(listing.FolderCount());
    for (std::uint32_t i = 0; i < listing.Count(); ++i) {
      if (listing.Item(i).IsFolder()) subfolders.push_back({std::string(listing.Name(i)), i});
    }
    target_.Push(std::move(event));

    const std::size_t pathLength = path_.size();
    if (prefetch_ && subfolders.size() > 1 && Descends(depth)) {
      std::vector<std::string> later;
      for (auto it = subfolders.rbegin(); it + 1 != subfolders.rend(); ++it) {
        later.push_back(path_ + it->name + '\\');
      }
      prefetch_->Announce(std::move(later));
    }
    bool subfoldersComplete = true;
    for (const Subfolder& subfolder : subfolders) {
      if (Descends(depth)) {
        path_.append(subfolder.name);
        path_ += '\\';
        subfoldersComplete = Folder(depth + 1, subfolder.entry, subfolder.name) && subfoldersComplete;
        path_.resize(pathLength);
      } else {
        subfoldersComplete = false;
      }
    }
    Release(depth);
    const bool complete = InProgress() && (!options_.shallow || (listed && subfoldersComplete));
    WalkEvent end;
    end.complete = complete;
    target_.Push(std::move(end));
    return complete;
  }

  const platform::System& system_;
  const WalkOptions& options_;
  ListingPool& pool_;
  EventTarget& target_;
  ListingPrefetch* prefetch_;
  std::string path_;
  // The folders being walked, by depth, held open so that their subfolders open from
  // them; only the deepest few, so descriptors stay bounded however deep the tree is.
  static constexpr std::size_t kOpenDepths = 4;
  std::vector<std::unique_ptr<platform::OpenFolder>> held_;
};

// Delivers each event at once, on the lister's thread.
class DirectTarget final : public EventTarget {
 public:
  explicit DirectTarget(Deliverer& deliverer) : deliverer_(deliverer) {}
  void Push(WalkEvent event) override { deliverer_.Deliver(std::span(&event, 1)); }

 private:
  Deliverer& deliverer_;
};

// Hands events from the lister's thread to the delivering thread in batches, holding
// the lister back when it runs too far ahead.
class EventQueue final : public EventTarget {
 public:
  void Push(WalkEvent event) override {
    if (event.listing) batchItems_ += event.listing->Count() + 1;
    batch_.push_back(std::move(event));
    if (batchItems_ >= kBatchItems) Flush();
  }
  bool Wanted() const override {
    const std::lock_guard lock(mutex_);
    return !abandoned_;
  }

  // Lister side: publishes what is left and marks the end (with the lister's failure).
  void Finish(std::exception_ptr failure) {
    Flush();
    const std::lock_guard lock(mutex_);
    finished_ = true;
    failure_ = failure;
    changed_.notify_all();
  }
  enum class Poll { Batch, Nothing, Finished };
  // Delivering side: the next batch, waiting up to `wait` for one.
  Poll Next(std::vector<WalkEvent>& batch, std::chrono::microseconds wait) {
    std::unique_lock lock(mutex_);
    // A wait of no time is a look, not a wait: waiting would still cost a system call.
    if (wait.count() > 0) {
      changed_.wait_for(lock, wait, [this] { return !batches_.empty() || finished_; });
    }
    if (batches_.empty()) return finished_ ? Poll::Finished : Poll::Nothing;
    batch = std::move(batches_.front());
    batches_.pop_front();
    changed_.notify_all();
    return Poll::Batch;
  }
  // Delivering side: stop wanting events (after a failure of its own).
  void Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    batches_.clear();
    changed_.notify_all();
  }
  std::exception_ptr Failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
  }

 private:
  static constexpr std::size_t kBatchItems = 2048;
  // Enough to ride out a slow moment of either side; every batch in flight holds its
  // listings' memory.
  static constexpr std::size_t kMaxBatches = 4;

  void Flush() {
    if (batch_.empty()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return batches_.size() < kMaxBatches || abandoned_; });
    if (!abandoned_) batches_.push_back(std::move(batch_));
    batch_.clear();
    batchItems_ = 0;
    changed_.notify_all();
  }

  // Lister thread only.
  std::vector<WalkEvent> batch_;
  std::size_t batchItems_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<WalkEvent>> batches_;
  bool finished_ = false;
  bool abandoned_ = false;
  std::exception_ptr failure_;
};

// The lister on a thread of its own; the keys and the sink on the calling thread, which
// reads folders ahead for the lister while it has nothing to deliver.
void WalkListingAhead(const platform::System& system, std::string_view folderPath,
                      const WalkOptions& options, WalkSink& sink) {
  ListingPool pool;
  ListingPrefetch prefetch(system, pool);
  EventQueue queue;
  Deliverer deliverer(options, sink, pool);
  std::jthread lister([&] {
    std::exception_ptr failure;
    try {
      Lister(system, options, pool, queue, &prefetch).Walk(folderPath);
    } catch (...) {
      failure = std::current_exception();
    }
    queue.Finish(failure);
  });
  try {
    std::vector<WalkEvent> batch;
    for (;;) {
      const EventQueue::Poll poll = queue.Next(batch, std::chrono::microseconds(0));
      if (poll == EventQueue::Poll::Finished) break;
      if (poll == EventQueue::Poll::Batch) {
        deliverer.Deliver(batch);
      } else if (!prefetch.ReadOne() &&
                 queue.Next(batch, std::chrono::microseconds(200)) == EventQueue::Poll::Batch) {
        deliverer.Deliver(batch);
      }
    }
  } catch (...) {
    queue.Abandon();
    throw;
  }
  lister.join();
  if (const std::exception_ptr failure = queue.Failure()) std::rethrow_exception(failure);
}

}  // namespace

void ScanFolder(const platform::System& system, std::string_view folderPath,
                const WalkOptions& options, WalkSink& sink) {
  if (options.listAhead) {
    WalkListingAhead(system, folderPath, options, sink);
    return;
  }
  ListingPool pool;
  Deliverer deliverer(options, sink, pool);
  DirectTarget target(deliverer);
  Lister(system, options, pool, target).Walk(folderPath);
}

}  // namespace scan
