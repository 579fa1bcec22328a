#include "activity/drive_table_merge.h"

#include <algorithm>

namespace activity {
namespace {

template <typename Records>
auto FindDrive(Records& records, std::uint8_t drive) {
  return std::find_if(records.begin(), records.end(),
                      [drive](const DriveRecord& r) { return r.drive == drive; });
}

// The fields only the program edits (the database pages and the application of their
// changes); the recorder never writes them.
void TakeProgramFields(const DriveRecord& base, const DriveRecord& edited, DriveRecord& onto) {
  if (edited.location != base.location) onto.location = edited.location;
  if (edited.spanStart != base.spanStart) onto.spanStart = edited.spanStart;
  if (edited.spanEnd != base.spanEnd) onto.spanEnd = edited.spanEnd;
}

}  // namespace

std::vector<DriveRecord> MergeOwnEdits(const std::vector<DriveRecord>& onDisk,
                                       const std::vector<DriveRecord>& base,
                                       const std::vector<DriveRecord>& edited) {
  std::vector<DriveRecord> merged = onDisk;
  for (const DriveRecord& was : base) {
    if (FindDrive(edited, was.drive) == edited.end()) {
      const auto gone = FindDrive(merged, was.drive);
      if (gone != merged.end()) merged.erase(gone);
    }
  }
  for (const DriveRecord& now : edited) {
    const auto was = FindDrive(base, now.drive);
    if (was != base.end() && *was == now) continue;  // not the program's edit
    const auto there = FindDrive(merged, now.drive);
    if (there == merged.end()) {
      merged.push_back(now);
    } else if (was == base.end() || !SameShape(*was, now)) {
      *there = now;  // a new or emptied database: nothing the recorder wrote applies to it
    } else {
      TakeProgramFields(*was, now, *there);
    }
  }
  return merged;
}

}  // namespace activity
