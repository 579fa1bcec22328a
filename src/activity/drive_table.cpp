#include "activity/drive_table.h"

#include <algorithm>
#include <array>

#include "activity/database_files.h"
#include "activity/drive_table_merge.h"
#include "platform/system.h"

namespace activity {
namespace {

bool ValidIndex(const std::vector<DriveRecord>& records, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < records.size();
}

}  // namespace

std::optional<ParsedDriveTable> DriveTable::ReadFile(platform::System& system) {
  std::array<std::uint8_t, kDriveTableReadLimit> bytes{};
  std::optional<std::size_t> length;
  {
    auto file = system.OpenFile(kDriveTablePath, {platform::OpenMode::OpenAlways, true, true});
    if (!file) return std::nullopt;
    length = ReadFully(*file, bytes.data(), bytes.size());
  }
  if (!length) return std::nullopt;
  return ParseDriveTable(bytes.data(), *length);
}

bool DriveTable::WriteFile(platform::System& system, const std::vector<DriveRecord>& records) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(records.size() * kDriveRecordSize);
  for (const DriveRecord& record : records) {
    const auto serialized = record.Serialize();
    bytes.insert(bytes.end(), serialized.begin(), serialized.end());
  }
  return WriteFileReplacing(system, kDriveTablePath, bytes.size(), [&bytes](platform::File& file) {
    return bytes.empty() || file.Write(bytes.data(), bytes.size());
  });
}

bool DriveTable::Load(platform::System& system) {
  damage_.clear();
  std::optional<ParsedDriveTable> parsed = ReadFile(system);
  if (!parsed) return false;
  if (!parsed->damage.empty()) {
    damage_ = std::move(parsed->damage);
    return false;
  }
  // Only a sound table is marked as the program's own.
  system.SetFileAttributes(kDriveTablePath, kDatabaseAttributes);
  newState_ = std::move(parsed->records);
  oldState_ = newState_;
  savedState_ = newState_;
  loaded_ = true;
  return true;
}

bool DriveTable::Save(platform::System& system) {
  if (!loaded_) return true;
  if (!WriteFile(system, newState_)) return false;
  savedState_ = newState_;
  return true;
}

bool DriveTable::SaveOwnEdits(platform::System& system) {
  if (!loaded_) return true;
  const std::optional<ParsedDriveTable> now = ReadFile(system);
  if (!now || !now->damage.empty()) return false;
  if (!WriteFile(system, MergeOwnEdits(now->records, savedState_, newState_))) return false;
  savedState_ = newState_;
  return true;
}

bool DriveTable::AppendDefaultRecord(std::uint8_t driveNumber, std::uint32_t spanStart) {
  if (newState_.size() >= kMaxDriveRecords || Find(driveNumber) >= 0) return false;
  DriveRecord record;
  record.drive = driveNumber;
  record.spanStart = spanStart;
  newState_.push_back(record);
  return true;
}

int DriveTable::Find(std::uint8_t driveNumber, TableState state) const {
  const auto& records = State(state);
  const auto found = std::find_if(records.begin(), records.end(),
                                  [driveNumber](const DriveRecord& r) { return r.drive == driveNumber; });
  return found == records.end() ? -1 : static_cast<int>(found - records.begin());
}

std::uint64_t DriveTable::Capacity(int index) const {
  return ValidIndex(newState_, index) ? newState_[static_cast<std::size_t>(index)].Capacity() : 0;
}

std::uint32_t DriveTable::FillPercentage(int index, TableState state) const {
  const auto& records = State(state);
  if (!ValidIndex(records, index)) return 0;
  const DriveRecord& record = records[static_cast<std::size_t>(index)];
  const std::uint64_t capacity = record.Capacity();
  if (capacity == 0) return 0;
  // More records than room (a size lowered on the size page, or a damaged count): full.
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{record.recordsInUse} * 100 / capacity, 100));
}

}  // namespace activity
