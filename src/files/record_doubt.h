#pragma once
// Files whose activity record cannot exist or cannot be told apart from another's.
//
// A record is found by the key of the file's upper-cased path. A path whose key text
// is over the key limit has key 0 and no record: its counters are 0 however often it is
// used. Names that differ only in case (in one folder, or below folders that do) have
// one key and one record: each shows the other's accesses. Neither says a file is idle,
// so neither may earn a hint that rests on idleness.

#include <cstdint>
#include <vector>

namespace scan { class CFolderInfo; }

namespace files {

enum class RecordDoubt : std::uint8_t {
  None,
  PathTooLong,   // key 0: no record can be kept
  SharedByCase,  // another name, differing only in case, shares the record
};

// "path too long to record", "shares its record with a name differing only in case";
// "" for None.
const char* RecordDoubtText(RecordDoubt doubt);

// The keys more than one file holds.
class SharedKeys {
 public:
  // Of the files below `drive` (a drive's root record).
  static SharedKeys OfDrive(const scan::CFolderInfo& drive);
  // Of the files of `folder` alone.
  static SharedKeys OfFolder(const scan::CFolderInfo& folder);
  bool Holds(std::uint64_t key) const;

 private:
  std::vector<std::uint64_t> shared_;  // sorted
};

// The doubts about the files of one folder, as its list shows them.
class FolderDoubts {
 public:
  explicit FolderDoubts(const scan::CFolderInfo& folder);
  RecordDoubt Of(std::uint32_t i) const;

 private:
  const scan::CFolderInfo& folder_;
  SharedKeys shared_;
};

}  // namespace files
