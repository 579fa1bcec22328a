#include "files/record_doubt.h"

#include <algorithm>
#include <string>

#include "platform/ansi.h"
#include "scan/folder_info.h"
#include "scan/record_walk.h"

namespace files {
namespace {

// The keys that occur more than once in `keys`, sorted; `keys` is sorted on the way.
std::vector<std::uint64_t> Repeated(std::vector<std::uint64_t>& keys) {
  std::sort(keys.begin(), keys.end());
  std::vector<std::uint64_t> repeated;
  for (std::size_t k = 1; k < keys.size(); ++k) {
    if (keys[k] == keys[k - 1] && (repeated.empty() || repeated.back() != keys[k])) repeated.push_back(keys[k]);
  }
  return repeated;
}

void AddFileKeys(const scan::CFolderInfo& record, std::vector<std::uint64_t>& keys) {
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (!record.IsFolder(i) && record.keys()[i] != 0) keys.push_back(record.keys()[i]);
  }
}

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

SharedKeys SharedKeys::OfDrive(const scan::CFolderInfo& drive) {
  std::vector<std::uint64_t> keys;
  scan::ForEachRecord(drive, [&keys](const scan::CFolderInfo& record) { AddFileKeys(record, keys); });
  SharedKeys shared;
  shared.shared_ = Repeated(keys);
  return shared;
}

SharedKeys SharedKeys::OfFolder(const scan::CFolderInfo& folder) {
  std::vector<std::uint64_t> keys;
  AddFileKeys(folder, keys);
  SharedKeys shared;
  shared.shared_ = Repeated(keys);
  return shared;
}

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
