#include "scan/directory_walk.h"

#include <memory>
#include <string>
#include <vector>

#include "scan/folder_listing.h"
#include "scan/scan_texts.h"
#include "shell/status_sink.h"

namespace scan {
namespace {

class Walker {
 public:
  Walker(const platform::System& system, const WalkOptions& options, WalkSink& sink)
      : system_(system), options_(options), sink_(sink) {}

  void Walk(std::string_view folderPath) {
    path_.assign(folderPath);
    Folder(1, 0);
  }

 private:
  bool InProgress() const { return !options_.inProgress || options_.inProgress->load(); }

  // One listing per depth, reused by the siblings at that depth.
  FolderListing& ListingAt(int depth) {
    while (listings_.size() < static_cast<std::size_t>(depth)) {
      listings_.push_back(std::make_unique<FolderListing>());
    }
    return *listings_[static_cast<std::size_t>(depth) - 1];
  }

  void Folder(int depth, std::uint32_t entryInParent) {
    if (options_.status) options_.status->ShowStatus(kLookingIn + path_);

    FolderListing& listing = ListingAt(depth);
    FolderStep step;
    step.path = path_;
    step.depth = depth;
    step.entryInParent = entryInParent;
    step.listed = listing.Read(system_, path_);
    if (step.listed) {
      listing.ComputeKeys(*options_.networkNames);
      step.subfoldersPending = options_.shallow && depth == 2 ? 1 : 0;
      step.entryCount = static_cast<std::uint32_t>(listing.Count());
      step.folderCount = listing.FolderCount();
      step.nameBytes = listing.NameBytes();
    }
    sink_.FolderEntered(step);
    Emit(listing);

    const std::size_t pathLength = path_.size();
    for (std::uint32_t i = 0; i < listing.Count(); ++i) {
      if (!listing.Item(i).IsFolder()) continue;
      if (depth < 2 || (InProgress() && !options_.shallow)) {
        path_.append(listing.Name(i));
        path_ += '\\';
        Folder(depth + 1, i);
        path_.resize(pathLength);
      }
    }
    sink_.FolderLeft(FolderEnd{path_, depth, !options_.shallow && InProgress()});
  }

  void Emit(const FolderListing& listing) {
    for (std::size_t i = 0; i < listing.Count(); ++i) {
      const ListedItem& item = listing.Item(i);
      sink_.Entry(WalkEntry{listing.Name(i), item.attributes, item.size, item.compressedSize,
                            item.key, item.IsFolder()});
    }
  }

  const platform::System& system_;
  const WalkOptions& options_;
  WalkSink& sink_;
  std::string path_;
  std::vector<std::unique_ptr<FolderListing>> listings_;
};

}  // namespace

void ScanFolder(const platform::System& system, std::string_view folderPath,
                const WalkOptions& options, WalkSink& sink) {
  Walker(system, options, sink).Walk(folderPath);
}

}  // namespace scan
