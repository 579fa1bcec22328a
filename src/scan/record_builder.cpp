#include "scan/record_builder.h"

#include <cassert>

namespace scan {

RecordBuilder::RecordBuilder(CFolderInfo& root, char driveLetter, std::uint64_t clusterSize,
                             const activity::AccessTables& tables)
    : root_(root), driveLetter_(driveLetter), clusterSize_(clusterSize), tables_(tables) {}

void RecordBuilder::FolderEntered(const FolderStep& folder) {
  CFolderInfo* record = open_.empty() ? &root_ : open_.back()->GetChild(folder.entryInParent);
  assert(record && "a subfolder is entered through its folder entry");
  open_.push_back(record);
  // A folder that cannot be listed keeps its record empty and its pending mark as it was.
  record->unreadable = !folder.listed;
  if (!folder.listed) {
    ++foldersUnreadable_;
    return;
  }
  ++foldersListed_;
  record->subfoldersPending = folder.subfoldersPending;
  record->Reserve(folder.entryCount, folder.folderCount, folder.nameBytes);
}

void RecordBuilder::Entry(const WalkEntry& entry) {
  NewEntry added;
  added.name = entry.name;
  added.clusterSize = clusterSize_;
  added.attributes = entry.attributes;
  if (entry.isFolder) {
    added.source = kSourceSubfolder;
    added.kind = kKindFolder;
  } else {
    added.source = static_cast<std::uint8_t>(driveLetter_);
    added.size = entry.size;
    added.compressedSize = entry.compressedSize;
    added.kind = kKindFile;
    added.key = entry.key;
  }
  FileTraits traits;
  if (entry.traits != nullptr && !entry.isFolder) {
    traits = *entry.traits;
    traits.laterLink = !links_.FirstLink(traits);
    added.traits = &traits;
  }
  open_.back()->AddEntry(added, &tables_);
  ++entriesAdded_;
}

void RecordBuilder::FolderLeft(const FolderEnd& end) {
  open_.back()->readState = end.complete ? ReadState::ReadFully : ReadState::ReadPartly;
  // Its subfolders were left before it: summing as the walk goes leaves nothing to sum
  // after the last folder.
  open_.back()->RecalculateOwnEntries(clusterSize_);
  open_.pop_back();
}

}  // namespace scan
