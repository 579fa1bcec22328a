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
  friend class SharedKeySearch;
  std::vector<std::uint64_t> shared_;  // sorted
};

// Finds the keys shared among the files of many records in short steps. It searches the
// key space a share at a time, so that only one share's keys are held at once: a drive
// of ten million files would otherwise hold 80 MB of keys for this alone.
class SharedKeySearch {
 public:
  // `records` (each counted for its own files only) must stay in place until the end.
  // A share holds about `keysPerShare` keys, which bounds the time a step takes.
  explicit SharedKeySearch(std::vector<const scan::CFolderInfo*> records,
                           std::uint64_t keysPerShare = std::uint64_t{1} << 19);
  // Gathers one record's keys of the current share, or sorts the share once all are
  // gathered; true once the whole key space is searched.
  bool Step();
  SharedKeys Result() &&;

 private:
  void SearchGatheredShare();

  std::vector<const scan::CFolderInfo*> records_;
  unsigned shareBits_ = 0;  // the top bits of a key that name its share
  std::uint64_t share_ = 0;
  std::size_t nextRecord_ = 0;
  std::vector<std::uint64_t> gathered_;
  SharedKeys result_;
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
