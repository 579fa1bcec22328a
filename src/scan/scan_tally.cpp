#include "scan/scan_tally.h"

namespace scan {

void TallyingSink::FolderEntered(const FolderStep& folder) {
  next_.FolderEntered(folder);
  if (folder.listed) ++tally_.foldersListed;
  watcher_.Counted(tally_);
}

void TallyingSink::Entry(const WalkEntry& entry) {
  next_.Entry(entry);
  ++tally_.entries;
  tally_.bytes += entry.size;
  if (tally_.entries % kTallyEvery == 0) watcher_.Counted(tally_);
}

void TallyingSink::FolderLeft(const FolderEnd& end) {
  next_.FolderLeft(end);
  watcher_.Counted(tally_);
}

}  // namespace scan
