#include "files/record_doubt.h"

#include <algorithm>
#include <string>

#include "platform/ansi.h"
#include "scan/folder_info.h"
#include "scan/record_walk.h"

namespace files {
namespace {

// True when the folder entry `self` of `parent` has a sibling folder of the same name
// but for case.
bool HasCaseTwin(const scan::CFolderInfo& parent, std::uint32_t self) {
  const std::string name = platform::CharUpperA(parent.names(self));
  for (std::uint32_t i = 0; i < parent.Count(); ++i) {
    if (i != self && parent.IsFolder(i) && parent.names(i).size() == name.size() &&
        platform::CharUpperA(parent.names(i)) == name) {
      return true;
    }
  }
  return false;
}

}  // namespace

const char* RecordDoubtText(RecordDoubt doubt) {
  switch (doubt) {
    case RecordDoubt::PathTooLong: return "path too long to record";
    case RecordDoubt::SharedByCase: return "shares its record with a name differing only in case";
    case RecordDoubt::None: break;
  }
  return "";
}

namespace {

SharedKeys Search(std::vector<const scan::CFolderInfo*> records) {
  SharedKeySearch search(std::move(records));
  while (!search.Step()) {
  }
  return std::move(search).Result();
}

}  // namespace

SharedKeySearch::SharedKeySearch(std::vector<const scan::CFolderInfo*> records, std::uint64_t keysPerShare)
    : records_(std::move(records)) {
  std::uint64_t entries = 0;
  for (const scan::CFolderInfo* record : records_) entries += record->Count();
  while (shareBits_ < 16 && (entries >> shareBits_) > keysPerShare) ++shareBits_;
}

bool SharedKeySearch::Step() {
  if ((share_ >> shareBits_) != 0) return true;
  if (nextRecord_ == records_.size()) {
    SearchGatheredShare();
    nextRecord_ = 0;
    ++share_;
    return (share_ >> shareBits_) != 0;
  }
  const scan::CFolderInfo& record = *records_[nextRecord_++];
  const unsigned shift = 64 - shareBits_;
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    const std::uint64_t key = record.keys()[i];
    if (key == 0 || record.IsFolder(i)) continue;
    if (shareBits_ == 0 || (key >> shift) == share_) gathered_.push_back(key);
  }
  return false;
}

// Shares are searched in the order of their top bits, so the result stays sorted.
void SharedKeySearch::SearchGatheredShare() {
  std::sort(gathered_.begin(), gathered_.end());
  std::vector<std::uint64_t>& shared = result_.shared_;
  for (std::size_t k = 1; k < gathered_.size(); ++k) {
    if (gathered_[k] == gathered_[k - 1] && (shared.empty() || shared.back() != gathered_[k])) {
      shared.push_back(gathered_[k]);
    }
  }
  gathered_.clear();
}

SharedKeys SharedKeySearch::Result() && { return std::move(result_); }

SharedKeys SharedKeys::OfDrive(const scan::CFolderInfo& drive) {
  std::vector<const scan::CFolderInfo*> records;
  scan::ForEachRecord(drive, [&records](const scan::CFolderInfo& record) { records.push_back(&record); });
  return Search(std::move(records));
}

SharedKeys SharedKeys::OfFolder(const scan::CFolderInfo& folder) { return Search({&folder}); }

bool SharedKeys::Holds(std::uint64_t key) const {
  return std::binary_search(shared_.begin(), shared_.end(), key);
}

namespace {

// True when the folder or one above it has a twin: then its files may share records with
// files below the twin, which only the whole drive shows. The drive list above the drive
// roots names drives, not folders.
bool BelowATwin(const scan::CFolderInfo& folder) {
  for (const scan::CFolderInfo* record = &folder; record->Parent() != nullptr; record = record->Parent()) {
    const scan::CFolderInfo& parent = *record->Parent();
    if (parent.Parent() == nullptr) return false;
    for (std::uint32_t i = 0; i < parent.Count(); ++i) {
      if (parent.GetChild(i) == record && HasCaseTwin(parent, i)) return true;
    }
  }
  return false;
}

}  // namespace

FolderDoubts::FolderDoubts(const scan::CFolderInfo& folder)
    : folder_(folder),
      shared_(BelowATwin(folder) ? SharedKeys::OfDrive(folder.DriveRecord()) : SharedKeys::OfFolder(folder)) {}

RecordDoubt FolderDoubts::Of(std::uint32_t i) const {
  if (folder_.IsFolder(i)) return RecordDoubt::None;
  const std::uint64_t key = folder_.keys()[i];
  if (key == 0) return RecordDoubt::PathTooLong;
  return shared_.Holds(key) ? RecordDoubt::SharedByCase : RecordDoubt::None;
}

}  // namespace files
