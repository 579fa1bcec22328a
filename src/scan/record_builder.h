#pragma once
// The walk's consumer that fills folder records: one entry per listed item, the
// subfolders' records below their entries, and each folder's scan marks.

#include <cstdint>
#include <vector>

#include "scan/directory_walk.h"
#include "scan/folder_info.h"
#include "scan/hard_links.h"

namespace activity { class AccessTables; }

namespace scan {

class RecordBuilder final : public WalkSink {
 public:
  // `root` receives the folder the walk starts from; it should be empty. Files are
  // joined with their access records in `tables` under `driveLetter`.
  RecordBuilder(CFolderInfo& root, char driveLetter, std::uint64_t clusterSize,
                const activity::AccessTables& tables);

  void FolderEntered(const FolderStep& folder) override;
  void Entry(const WalkEntry& entry) override;
  void FolderLeft(const FolderEnd& end) override;

  std::uint64_t EntriesAdded() const { return entriesAdded_; }
  std::uint64_t FoldersListed() const { return foldersListed_; }
  std::uint64_t FoldersUnreadable() const { return foldersUnreadable_; }

 private:
  CFolderInfo& root_;
  const char driveLetter_;
  const std::uint64_t clusterSize_;
  const activity::AccessTables& tables_;
  std::vector<CFolderInfo*> open_;  // the folders entered and not yet left, outermost first
  LinkTally links_;
  std::uint64_t entriesAdded_ = 0;
  std::uint64_t foldersListed_ = 0;
  std::uint64_t foldersUnreadable_ = 0;
};

}  // namespace scan
