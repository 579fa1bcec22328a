#include "activity/database_location.h"

#include "activity/database_files.h"
#include "activity/drive_table.h"
#include "platform/system.h"

namespace activity {
namespace {

std::uint64_t RoundUp(std::uint64_t bytes, std::uint64_t cluster) {
  if (cluster == 0) return bytes;
  return (bytes + cluster - 1) / cluster * cluster;
}

std::uint32_t Fill(const DriveRecord& record) {
  const std::uint64_t capacity = record.Capacity();
  return capacity == 0 ? 0 : static_cast<std::uint32_t>(std::uint64_t{record.recordsInUse} * 100 / capacity);
}

}  // namespace

const char* DriveClassName(int driveClass) {
  static constexpr const char* kNames[] = {"Removable", "Fixed", "Remote", "CD ROM", "RAM disk", "Unknown"};
  return driveClass >= 0 && driveClass < 6 ? kNames[driveClass] : kNames[5];
}

std::uint64_t DatabaseSizeOnDisk(const DriveRecord& record, std::uint64_t clusterSize) {
  const std::uint64_t capacity = record.Capacity();
  std::uint64_t size = RoundUp(capacity * kAccessRecordSize, clusterSize);
  if (record.namesState != -1) size += RoundUp(capacity * record.maxNameSize, clusterSize);
  return size;
}

bool RootWritable(platform::System& system, char letter) {
  const std::string path = std::string(1, letter) + ":\\TestFile.NVX";
  std::uint64_t length = 1;
  {
    auto file = system.OpenFile(path, {platform::OpenMode::OpenAlways, true, true});
    if (!file) return false;
    length = file->Length().value_or(1);
  }
  if (length == 0) system.DeleteFile(path);
  return true;
}

std::string KiloText(std::uint64_t bytes) { return std::to_string(bytes / 1024) + " K"; }

std::uint64_t LocationModel::ClusterSize(char letter) const {
  const auto space = system_.GetDiskFreeSpace(letter);
  return space ? space->ClusterSize() : 0;
}

std::uint64_t LocationModel::Space(char letter) const {
  const auto disk = system_.GetDiskFreeSpace(letter);
  const std::uint64_t cluster = disk ? disk->ClusterSize() : 0;
  std::uint64_t space = disk ? disk->FreeBytes() : 0;
  for (const DriveRecord& old : table_.OldState()) {
    if (old.location == DriveNumber(letter)) space += DatabaseSizeOnDisk(old, cluster);
  }
  return space;
}

LocationFigures LocationModel::Compute(std::uint8_t drive, char letter) const {
  LocationFigures figures;
  const std::uint8_t location = DriveNumber(letter);
  const std::uint64_t cluster = ClusterSize(letter);
  figures.driveClass = DriveClass(system_, location);
  figures.space = Space(letter);
  const int own = table_.Find(drive);
  if (own >= 0) {
    figures.required = DatabaseSizeOnDisk(table_.NewState()[static_cast<std::size_t>(own)], cluster);
  }
  figures.rest = static_cast<std::int64_t>(figures.space);
  for (const DriveRecord& record : table_.NewState()) {
    if (record.location != location || record.drive == drive) continue;
    const std::uint64_t size = DatabaseSizeOnDisk(record, cluster);
    figures.rows.push_back({record.drive, DriveClass(system_, record.drive), record.Capacity(),
                            record.recordsInUse, Fill(record), size});
    figures.rest -= static_cast<std::int64_t>(size);
  }
  figures.readOnly = !RootWritable(system_, letter);
  if (figures.readOnly) {
    figures.verdict = kVerdictReadOnly;
  } else if (figures.rest < static_cast<std::int64_t>(figures.required)) {
    figures.verdict = kVerdictNoSpace;
  }
  return figures;
}

LocationModel::MoveItem LocationModel::MoveItemFor(std::uint8_t drive,
                                                   const std::string& driveText) const {
  MoveItem item;
  const char letter = driveText.empty() ? '\0' : driveText[0];
  const std::uint64_t space = Space(letter);
  const bool readOnly = !RootWritable(system_, letter);
  const int index = table_.Find(drive);
  const std::uint64_t needed =
      index < 0 ? 0 : DatabaseSizeOnDisk(table_.NewState()[static_cast<std::size_t>(index)], ClusterSize(letter));
  item.text = "Move database to &" + driveText.substr(0, 2) + "\t" + KiloText(space) + " free";
  if (readOnly) item.text += ", read only";
  item.enabled = !readOnly && space >= needed;
  if (!item.enabled) item.text += ' ';
  return item;
}

}  // namespace activity
