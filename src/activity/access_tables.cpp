#include "activity/access_tables.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "activity/database_files.h"
#include "platform/system.h"

namespace activity {
namespace {

std::string TablePath(const char* name, char location, char drive) {
  std::string path = "C:\\";
  path[0] = location;
  path += name;
  path += drive;
  path += ".NVX";
  return path;
}

bool ValidLetter(char drive) { return drive >= 'A' && drive <= 'Z'; }

enum class SlotKind { Match, Free, Other };

// What the record at `index` is to a search for `k1`; records beyond what was loaded
// are free slots.
SlotKind Classify(const std::vector<AccessRecord>& table, std::uint64_t index, std::uint32_t k1) {
  if (index >= table.size()) return SlotKind::Free;
  const std::uint32_t key = table[static_cast<std::size_t>(index)].key;
  if (key == k1) return SlotKind::Match;
  return key == 0 ? SlotKind::Free : SlotKind::Other;
}

}  // namespace

std::string AccessTablePath(char location, char drive) {
  return TablePath("FileTbl", location, drive);
}

std::string NameTablePath(char location, char drive) {
  return TablePath("FileNam", location, drive);
}

BucketProbe ProbeFor(std::uint32_t k1, std::uint32_t k2, std::uint16_t bucketMask,
                     std::uint16_t bucketSize) {
  BucketProbe probe{};
  probe.buckets = {k1 & bucketMask, (k1 >> 16) & bucketMask, k2 & bucketMask,
                   (k2 >> 16) & bucketMask};
  probe.overflowStart = (std::uint64_t{probe.buckets[3]} + 1) * bucketSize;
  return probe;
}

std::int64_t LookupIn(const std::vector<AccessRecord>& table, const DriveRecord& record,
                      std::uint32_t k1, std::uint32_t k2) {
  if (record.recordsInUse == 0) return -1;
  const std::uint64_t size = record.bucketSize;
  const BucketProbe probe = ProbeFor(k1, k2, record.bucketMask, record.bucketSize);

  // Free slots inside a bucket do not end its probe: the recorder may have freed them
  // after placing later keys behind them.
  for (const std::uint32_t bucket : probe.buckets) {
    const std::uint64_t first = bucket * size;
    const std::uint64_t end = std::min<std::uint64_t>(first + size, table.size());
    for (std::uint64_t i = first; i < end; ++i) {
      if (table[static_cast<std::size_t>(i)].key == k1) return static_cast<std::int64_t>(i);
    }
  }

  // Overflow: forward to the end of the buckets, then from the start up to and
  // including the first overflow index; a free slot ends the search.
  const auto scan = [&](std::uint64_t from, std::uint64_t to) -> std::optional<std::int64_t> {
    for (std::uint64_t i = from; i < to; ++i) {
      switch (Classify(table, i, k1)) {
        case SlotKind::Match: return static_cast<std::int64_t>(i);
        case SlotKind::Free: return -1;
        case SlotKind::Other: break;
      }
    }
    return std::nullopt;
  };
  if (const auto found = scan(probe.overflowStart, record.Capacity())) return *found;
  if (const auto found = scan(0, probe.overflowStart + 1)) return *found;
  return -1;
}

bool AccessTables::Load(platform::System& system, char drive, const DriveRecord& record) {
  if (!ValidLetter(drive)) return false;
  const std::string path = AccessTablePath(DriveLetter(record.location), drive);
  const bool existed = system.FileExists(path);
  auto file = system.OpenFile(path, {platform::OpenMode::OpenAlways, true, true});
  if (!file) return false;
  if (!existed) system.SetFileAttributes(path, kDatabaseAttributes);

  // The drive record may be damaged: size the table by what the file really holds,
  // never by the record alone. Missing records are free slots to the lookup.
  const auto length = file->Length();
  if (!length) return false;
  const std::uint64_t wanted =
      std::min({record.Capacity() + 1, *length / kAccessRecordSize, kMaxLoadedAccessRecords});
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(wanted * kAccessRecordSize));
  const auto got = ReadFully(*file, bytes.data(), bytes.size());
  if (!got) return false;

  // Room for one more record: the recorder adds a spare slot after the capacity, and
  // would otherwise copy the whole table to make room for it.
  std::vector<AccessRecord> table;
  table.reserve(static_cast<std::size_t>(wanted) + 1);
  table.resize(*got / kAccessRecordSize);
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i] = AccessRecord::Deserialize(bytes.data() + i * kAccessRecordSize);
  }
  Install(drive, record, std::move(table));
  return true;
}

void AccessTables::Install(char drive, const DriveRecord& record, std::vector<AccessRecord> table) {
  if (!ValidLetter(drive)) return;
  Loaded_& slot = drives_[static_cast<std::size_t>(drive - 'A')];
  slot.record = record;
  slot.table = std::move(table);
  slot.loaded = true;
}

const AccessTables::Loaded_* AccessTables::Slot(char drive) const {
  if (!ValidLetter(drive)) return nullptr;
  const Loaded_& slot = drives_[static_cast<std::size_t>(drive - 'A')];
  return slot.loaded ? &slot : nullptr;
}

std::int64_t AccessTables::Lookup(char drive, std::uint32_t k1, std::uint32_t k2) const {
  const Loaded_* slot = Slot(drive);
  return slot ? LookupIn(slot->table, slot->record, k1, k2) : -1;
}

const AccessRecord* AccessTables::Find(char drive, std::uint64_t key) const {
  const std::int64_t index =
      Lookup(drive, static_cast<std::uint32_t>(key), static_cast<std::uint32_t>(key >> 32));
  return index < 0 ? nullptr : &Slot(drive)->table[static_cast<std::size_t>(index)];
}

AccessRecord AccessTables::RecordOrZero(char drive, std::uint64_t key) const {
  const AccessRecord* found = Find(drive, key);
  return found ? *found : AccessRecord{};
}

bool AccessTables::Loaded(char drive) const { return Slot(drive) != nullptr; }

const std::vector<AccessRecord>& AccessTables::Table(char drive) const {
  static const std::vector<AccessRecord> kEmpty;
  const Loaded_* slot = Slot(drive);
  return slot ? slot->table : kEmpty;
}

std::vector<AccessRecord> AccessTables::TakeTable(char drive) {
  if (!ValidLetter(drive)) return {};
  Loaded_& slot = drives_[static_cast<std::size_t>(drive - 'A')];
  slot.loaded = false;
  return std::move(slot.table);
}

}  // namespace activity
