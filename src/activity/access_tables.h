#pragma once
// The watched drives' access tables, loaded once at start-up and read-only afterwards
// (so the scan worker may look records up without a lock).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "activity/drive_record.h"

namespace platform { class System; }

namespace activity {

// "X:\FileTblY.NVX" / "X:\FileNamY.NVX" for location X and watched drive Y.
std::string AccessTablePath(char location, char drive);
std::string NameTablePath(char location, char drive);

// Where a key may live: the four probed buckets, then the overflow order. Shared by
// the lookup and by the recorder's placement so that both always agree.
struct BucketProbe {
  std::array<std::uint32_t, 4> buckets;  // bucket numbers in probe order
  std::uint64_t overflowStart;           // first index of the forward overflow scan
};
BucketProbe ProbeFor(std::uint32_t k1, std::uint32_t k2, std::uint16_t bucketMask,
                     std::uint16_t bucketSize);

// The most access records a table is ever read with: the largest database the
// configuration pages can make (65,536 buckets of 17), plus the spare free slot. A
// damaged drive record cannot make the program allocate more than this.
inline constexpr std::uint64_t kMaxLoadedAccessRecords = 65536ull * 17 + 1;

// Index of the record holding k1 in `table` laid out by `record`'s mask and bucket
// size, or -1. A table built from its file holds capacity + 1 records (the last one a
// spare free slot); when it holds fewer (short file, damaged record) the missing
// records count as free slots and are never indexed.
std::int64_t LookupIn(const std::vector<AccessRecord>& table, const DriveRecord& record,
                      std::uint32_t k1, std::uint32_t k2);

class AccessTables {
 public:
  // Loads drive `drive`'s table from its location, sized by `record` (the record as it
  // stands now; lookups keep using it for the whole run): capacity + 1 records, but
  // never more than the file holds nor more than kMaxLoadedAccessRecords. Creates the
  // file when missing. False when it cannot be opened or read.
  bool Load(platform::System& system, char drive, const DriveRecord& record);
  // Installs a table directly (tests, the recorder's offline mode).
  void Install(char drive, const DriveRecord& record, std::vector<AccessRecord> table);

  // Index of the key's record in the drive's table, -1 when not found (no table,
  // records in use 0, or no such key).
  std::int64_t Lookup(char drive, std::uint32_t k1, std::uint32_t k2) const;
  // The found record, or nullptr.
  const AccessRecord* Find(char drive, std::uint64_t key) const;
  // The found record, or an all-zero one: what the scan copies into every file entry.
  AccessRecord RecordOrZero(char drive, std::uint64_t key) const;
  bool Loaded(char drive) const;
  const std::vector<AccessRecord>& Table(char drive) const;
  // Hands the drive's table over (empty when none is loaded); the drive is then unloaded.
  std::vector<AccessRecord> TakeTable(char drive);

 private:
  struct Loaded_ {
    DriveRecord record;
    std::vector<AccessRecord> table;
    bool loaded = false;
  };
  const Loaded_* Slot(char drive) const;
  std::array<Loaded_, 26> drives_{};
};

}  // namespace activity
