// The drive table "C:\DriveTbl.NVX" as the program loads it. Whatever the bytes, loading
// keeps no more records than the bytes hold, a loaded table saved and loaded again gives
// the same records, and a table the loader refuses is left as it was on disk, even after
// a save.

#include <cstdint>
#include <string>

#include "activity/drive_table.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using activity::DriveTable;
  auto& drives = fuzz_support::ScratchDrives::Fresh();
  const std::string path = drives.Host(activity::kDriveTablePath);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  drives.WriteHostFile(path, bytes);

  DriveTable table;
  const bool loaded = table.Load(drives.System());
  const bool saved = table.Save(drives.System());
  if (!loaded) {
    FUZZ_CHECK(drives.ReadHostFile(path) == bytes);
    return 0;
  }
  const auto& records = table.NewState();
  // A record may be cut short by the end of the file, never made of nothing.
  const std::size_t heldRecords = (size + activity::kDriveRecordSize - 1) / activity::kDriveRecordSize;
  FUZZ_CHECK(records.size() <= heldRecords);
  FUZZ_CHECK(records.size() <= activity::kMaxDriveRecords);
  FUZZ_CHECK(table.OldState() == records);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const activity::DriveRecord& record = records[i];
    FUZZ_CHECK(record.drive != 0);
    FUZZ_CHECK(activity::DriveRecord::Deserialize(record.Serialize().data()) == record);
    const int found = table.Find(record.drive);
    FUZZ_CHECK(found >= 0 && static_cast<std::size_t>(found) <= i);
    FUZZ_CHECK(records[static_cast<std::size_t>(found)].drive == record.drive);
    table.FillPercentage(static_cast<int>(i));
  }

  // Saved and loaded again: the same records (or, where the save was refused, the same
  // file and so the same answer).
  DriveTable again;
  const bool reloaded = again.Load(drives.System());
  FUZZ_CHECK(reloaded);
  FUZZ_CHECK(again.NewState() == records);
  if (!saved) FUZZ_CHECK(drives.ReadHostFile(path) == bytes);
  return 0;
}
