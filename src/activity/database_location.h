#pragma once
// What the location page shows for a drive's database on a candidate drive: the space
// there (counting what the databases already stored there would release), what this
// database needs, the other drives' databases stored there, and the verdict.

#include <cstdint>
#include <string>
#include <vector>

#include "activity/drive_record.h"

namespace platform { class System; }

namespace activity {

class DriveTable;

inline constexpr const char* kVerdictReadOnly = "The root directory is for reading only";
inline constexpr const char* kVerdictNoSpace = "There is not enough free space";
inline constexpr const char* kVerdictFits = "The database can be stored here";
inline constexpr const char* kLeaveLocationWarning =
    "You should select another drive for storing database !\nIf you cann't find enough free "
    "space on every drive, diminish the size of the database.";
inline constexpr const char* kDeleteQuestionHead = "Do you really want do delete database for the ";
inline constexpr const char* kDeleteQuestionTail = ": drive ?";

// "Removable", "Fixed", "Remote", "CD ROM", "RAM disk", "Unknown" by drive class.
const char* DriveClassName(int driveClass);

// Bytes a database of `record` takes on a drive with this cluster size: both tables,
// each rounded up to whole clusters (a cluster of 0 rounds nothing).
std::uint64_t DatabaseSizeOnDisk(const DriveRecord& record, std::uint64_t clusterSize);

// Whether files can be created at the root of `letter`: opens "X:\TestFile.NVX" for
// writing without truncating or following links, and deletes it again only when it is
// empty, so an existing file with content is never lost.
bool RootWritable(platform::System& system, char letter);

struct LocationRow {
  std::uint8_t drive = 0;
  int driveClass = 0;
  std::uint64_t capacity = 0;
  std::uint32_t recordsInUse = 0;
  std::uint32_t fillPercent = 0;
  std::uint64_t sizeOnDisk = 0;  // bytes
};

struct LocationFigures {
  int driveClass = 0;           // of the location drive
  std::uint64_t space = 0;      // free bytes plus what the old state's databases there release
  std::uint64_t required = 0;   // this drive's database on the location
  std::vector<LocationRow> rows;
  std::int64_t rest = 0;        // space less the other databases stored there (may go below 0)
  bool readOnly = false;
  const char* verdict = kVerdictFits;
};

class LocationModel {
 public:
  LocationModel(platform::System& system, const DriveTable& table)
      : system_(system), table_(table) {}

  std::uint64_t ClusterSize(char letter) const;
  // space(L): free bytes + the sizes of the databases the old state stores on L.
  std::uint64_t Space(char letter) const;
  // The figures for drive `drive`'s record (new state) stored on `letter`.
  LocationFigures Compute(std::uint8_t drive, char letter) const;
  // "Move database to &X:\t%lu K free[, read only]" and whether it is enabled: it is not
  // when X's root is read-only or X lacks the space for `drive`'s database (a disabled
  // item's text ends with a blank).
  struct MoveItem {
    std::string text;
    bool enabled = true;
  };
  MoveItem MoveItemFor(std::uint8_t drive, const std::string& driveText) const;

 private:
  platform::System& system_;
  const DriveTable& table_;
};

// "%lu K" of a byte count.
std::string KiloText(std::uint64_t bytes);

}  // namespace activity
