#pragma once
// The recorder's working copy of the activity databases: the drive table and every
// watched drive's access table, counted into in memory and written out atomically.
// Used by the daemon between holds and by the offline "record" mode.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder/operation.h"

namespace platform { class System; }

namespace activity::recorder {

enum class RecordResult {
  Counted,
  NotWatched,  // no database for the path's drive (or its table could not be loaded)
  OutOfSpan,   // the moment lies before the span start or after the span end
  Full,        // the key is new and every slot is taken
  BadPath,     // not a Windows path on a drive letter, or its key is 0
};

class ActivityStore {
 public:
  explicit ActivityStore(platform::System& system);

  // Reads the drive table and the access table of every watched drive whose record is
  // usable. False (with `error`) only when the drive table itself cannot be read; a
  // drive whose table cannot be loaded is left unwatched and named in `warnings`.
  bool Open(std::string* error, std::vector<std::string>* warnings = nullptr);
  bool IsOpen() const { return open_; }

  // Counts accesses to `windowsPath` at `when` (a local DOS date-time).
  RecordResult Record(std::string_view windowsPath, Operation operation, std::uint32_t count,
                      std::uint32_t when);
  // The same with the path's key already computed, with NetworkNamesInUse() of this Open
  // (the daemon remembers keys per file).
  RecordResult Record(std::string_view windowsPath, std::uint64_t key, Operation operation,
                      std::uint32_t count, std::uint32_t when);
  // The network names read by the last Open, which every key is computed with.
  const NetworkNames& NetworkNamesInUse() const { return networkNames_; }

  // Writes every changed table (temporary file + rename), its names and the drive table
  // with the new records-in-use counts. False (with `error`) when a write failed; what
  // was written before stays, and the changes stay pending for the next write-out.
  bool WriteOut(std::string* error);
  // WriteOut, then forgets everything until the next Open.
  bool Close(std::string* error);

  // Host paths of the drive table and every database file it names: the recorder never
  // counts accesses to them.
  std::vector<std::string> DatabaseHostPaths() const;
  // The watched drive letters.
  std::vector<char> WatchedDrives() const;
  // The record as it stands now, for tests and the daemon's status; nullptr when absent.
  const AccessRecord* Find(std::string_view windowsPath) const;
  const DriveRecord* RecordOf(char drive) const;

 private:
  struct Database {
    int index = -1;  // in the drive table's new state
    std::vector<AccessRecord> table;  // capacity + 1 records
    std::map<std::uint64_t, std::string> pendingNames;  // record index -> name
    bool dirty = false;
  };
  bool LoadDatabase(int index, std::string* warning);
  bool WriteDatabase(char drive, Database& database, std::string* error);
  bool WriteNames(char drive, Database& database, std::string* error);

  platform::System& system_;
  NetworkNames networkNames_{};
  DriveTable driveTable_;
  std::array<Database, 26> databases_{};
  bool open_ = false;
};

}  // namespace activity::recorder
