#include "activity/recorder/activity_store.h"

#include <algorithm>
#include <cstring>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/database_files.h"
#include "activity/record_drives.h"
#include "activity/recorder/placement.h"
#include "platform/system.h"
#include "platform/windows_path.h"

namespace activity::recorder {
namespace {

std::size_t Slot(char drive) { return static_cast<std::size_t>(drive - 'A'); }

}  // namespace

ActivityStore::ActivityStore(platform::System& system) : system_(system) {}

bool ActivityStore::Open(std::string* error, std::vector<std::string>* warnings) {
  databases_ = {};
  open_ = false;
  driveTable_ = DriveTable{};
  if (!driveTable_.Load(system_)) {
    // A damaged table is refused whole, as the program refuses it: recording by a record
    // the program does not use would only fill a database nobody reads.
    *error = driveTable_.Damage().empty()
                 ? std::string("could not open ") + kDriveTablePath
                 : std::string(kDriveTablePath) + " is damaged: " + driveTable_.Damage() +
                       "; recording nothing until it is repaired";
    return false;
  }
  networkNames_ = ReadNetworkNames(system_);
  for (int i = 0; i < static_cast<int>(driveTable_.NewState().size()); ++i) {
    std::string warning;
    if (!LoadDatabase(i, &warning) && warnings && !warning.empty()) warnings->push_back(warning);
  }
  open_ = true;
  return true;
}

bool ActivityStore::LoadDatabase(int index, std::string* warning) {
  // The table was checked when loaded: one record per drive, each of a size the
  // configuration pages can make.
  DriveRecord& record = driveTable_.NewState()[static_cast<std::size_t>(index)];
  const char drive = DriveLetter(record.drive);
  if (const auto change = RecordDriveChange(system_, record)) {
    *warning = *change;
    return false;
  }
  AccessTables loader;
  if (!loader.Load(system_, drive, record)) {
    *warning = "could not open " + AccessTablePath(DriveLetter(record.location), drive);
    return false;
  }
  Database& database = databases_[Slot(drive)];
  database.index = index;
  database.table = loader.TakeTable(drive);
  database.table.resize(static_cast<std::size_t>(record.Capacity() + 1));
  // The spare slot must stay free, or the lookup's wrap-around scan would never end on it.
  database.table.back() = AccessRecord{};
  if (record.recordsInUse == 0) {
    // An emptied database: whatever the file still holds is no longer in use.
    std::fill(database.table.begin(), database.table.end(), AccessRecord{});
  } else {
    record.recordsInUse = static_cast<std::uint32_t>(
        std::count_if(database.table.begin(), database.table.end(),
                      [](const AccessRecord& r) { return r.key != 0; }));
  }
  return true;
}

RecordResult ActivityStore::Record(std::string_view windowsPath, Operation operation,
                                   std::uint32_t count, std::uint32_t when) {
  return Record(windowsPath, PathKey(windowsPath, networkNames_), operation, count, when);
}

RecordResult ActivityStore::Record(std::string_view windowsPath, std::uint64_t key,
                                   Operation operation, std::uint32_t count, std::uint32_t when) {
  const auto letter = platform::DriveLetterOf(windowsPath);
  if (!letter) return RecordResult::BadPath;
  Database& database = databases_[Slot(*letter)];
  if (!open_ || database.index < 0) return RecordResult::NotWatched;
  DriveRecord& record = driveTable_.NewState()[static_cast<std::size_t>(database.index)];
  if (when < record.spanStart || when > record.spanEnd) return RecordResult::OutOfSpan;

  bool created = false;
  const std::int64_t index = FindOrPlace(database.table, record, static_cast<std::uint32_t>(key),
                                         static_cast<std::uint32_t>(key >> 32), &created);
  if (index < 0) return key == 0 ? RecordResult::BadPath : RecordResult::Full;
  if (created) {
    ++record.recordsInUse;
    if (record.namesState != -1 && record.maxNameSize > 0) {
      database.pendingNames[static_cast<std::uint64_t>(index)] = std::string(windowsPath);
    }
  }
  Count(database.table[static_cast<std::size_t>(index)], operation, count, when);
  database.dirty = true;
  return RecordResult::Counted;
}

bool ActivityStore::WriteDatabase(char drive, Database& database, std::string* error) {
  const DriveRecord& record = driveTable_.NewState()[static_cast<std::size_t>(database.index)];
  const std::uint64_t capacity = record.Capacity();
  const std::string path = AccessTablePath(DriveLetter(record.location), drive);
  const bool written =
      WriteFileReplacing(system_, path, capacity * kAccessRecordSize, [&](platform::File& file) {
        constexpr std::size_t kChunk = 4096;
        std::vector<std::uint8_t> bytes;
        bytes.reserve(kChunk * kAccessRecordSize);
        for (std::uint64_t i = 0; i < capacity; i += kChunk) {
          bytes.clear();
          const std::uint64_t end = std::min(capacity, i + kChunk);
          for (std::uint64_t j = i; j < end; ++j) {
            const auto one = database.table[static_cast<std::size_t>(j)].Serialize();
            bytes.insert(bytes.end(), one.begin(), one.end());
          }
          if (!file.Write(bytes.data(), bytes.size())) return false;
        }
        return true;
      });
  if (!written) {
    *error = "could not write " + path;
    return false;
  }
  return WriteNames(drive, database, error);
}

// Name slot i belongs to access record i: the Windows path, cut to the slot and padded
// with zero bytes. Names are written in place; a lost name costs only a display.
bool ActivityStore::WriteNames(char drive, Database& database, std::string* error) {
  if (database.pendingNames.empty()) return true;
  const DriveRecord& record = driveTable_.NewState()[static_cast<std::size_t>(database.index)];
  const std::string path = NameTablePath(DriveLetter(record.location), drive);
  auto file = system_.OpenFile(path, {platform::OpenMode::OpenAlways, true, true});
  if (!file) {
    *error = "could not open " + path;
    return false;
  }
  std::vector<char> slot(record.maxNameSize);
  for (const auto& [index, name] : database.pendingNames) {
    std::fill(slot.begin(), slot.end(), '\0');
    std::memcpy(slot.data(), name.data(), std::min<std::size_t>(name.size(), slot.size() - 1));
    if (!file->Seek(index * record.maxNameSize) || !file->Write(slot.data(), slot.size())) {
      *error = "could not write " + path;
      return false;
    }
  }
  database.pendingNames.clear();
  return file->Flush();
}

bool ActivityStore::WriteOut(std::string* error) {
  if (!open_) return true;
  bool changed = false;
  for (char drive = 'A'; drive <= 'Z'; ++drive) {
    Database& database = databases_[Slot(drive)];
    if (database.index < 0 || !database.dirty) continue;
    if (!WriteDatabase(drive, database, error)) return false;
    database.dirty = false;
    changed = true;
  }
  if (changed && !driveTable_.Save(system_)) {
    *error = std::string("could not write ") + kDriveTablePath;
    return false;
  }
  return true;
}

bool ActivityStore::Close(std::string* error) {
  const bool written = WriteOut(error);
  databases_ = {};
  driveTable_ = DriveTable{};
  open_ = false;
  return written;
}

std::vector<std::string> ActivityStore::DatabaseHostPaths() const {
  std::vector<std::string> paths;
  const auto add = [&](const std::string& windowsPath) {
    if (auto host = system_.HostPath(windowsPath)) paths.push_back(std::move(*host));
  };
  add(kDriveTablePath);
  for (const DriveRecord& record : driveTable_.NewState()) {
    if (!IsDriveNumber(record.drive) || !IsDriveNumber(record.location)) continue;
    add(AccessTablePath(DriveLetter(record.location), DriveLetter(record.drive)));
    add(NameTablePath(DriveLetter(record.location), DriveLetter(record.drive)));
    add(CoverageFilePath(DriveLetter(record.location), DriveLetter(record.drive)));
  }
  return paths;
}

std::vector<char> ActivityStore::WatchedDrives() const {
  std::vector<char> drives;
  for (char drive = 'A'; drive <= 'Z'; ++drive) {
    if (databases_[Slot(drive)].index >= 0) drives.push_back(drive);
  }
  return drives;
}

const AccessRecord* ActivityStore::Find(std::string_view windowsPath) const {
  const auto letter = platform::DriveLetterOf(windowsPath);
  if (!letter) return nullptr;
  const Database& database = databases_[Slot(*letter)];
  if (database.index < 0) return nullptr;
  const DriveRecord& record = driveTable_.NewState()[static_cast<std::size_t>(database.index)];
  const std::uint64_t key = PathKey(windowsPath, networkNames_);
  const std::int64_t index = LookupIn(database.table, record, static_cast<std::uint32_t>(key),
                                      static_cast<std::uint32_t>(key >> 32));
  return index < 0 ? nullptr : &database.table[static_cast<std::size_t>(index)];
}

const DriveRecord* ActivityStore::RecordOf(char drive) const {
  if (drive < 'A' || drive > 'Z') return nullptr;
  const Database& database = databases_[Slot(drive)];
  return database.index < 0 ? nullptr
                            : &driveTable_.NewState()[static_cast<std::size_t>(database.index)];
}

}  // namespace activity::recorder
