#include "scan/hard_links.h"

#include "scan/folder_info.h"
#include "scan/record_walk.h"

namespace scan {

bool LinkTally::FirstLink(const FileTraits& traits) {
  if (!traits.SeveralLinks()) return true;
  return seen_.insert(FileIdentity::Of(traits)).second;
}

bool MarkLaterLinks(CFolderInfo& drive) {
  LinkTally tally;
  bool changed = false;
  ForEachRecord(drive, [&](CFolderInfo& record) {
    for (FileTraits& traits : record.AllTraits()) {
      const bool later = !tally.FirstLink(traits);
      changed |= later != traits.laterLink;
      traits.laterLink = later;
    }
  });
  return changed;
}

}  // namespace scan
