// A watched drive's access table, with its drive record: the first 59 input bytes are
// D:'s record (its tables kept on C:, kept small enough to rewrite per input), the rest
// is "C:\FileTblD.NVX". The program's loader never holds more records than the file nor
// than the record allows, and a look-up only ever finds its own key. Then the recorder
// opens the same files, counts opens of a few files and writes its tables out: the
// program, loading them again, finds every count where the recorder put it.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "activity/access_tables.h"
#include "activity/drive_table.h"
#include "activity/drive_table_check.h"
#include "activity/path_key.h"
#include "activity/recorder/activity_store.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

namespace {

using namespace activity;

DriveRecord RecordOf(fuzz_support::Input& input) {
  std::array<std::uint8_t, kDriveRecordSize> bytes{};
  for (std::uint8_t& byte : bytes) byte = input.Byte();
  DriveRecord record = DriveRecord::Deserialize(bytes.data());
  record.drive = DriveNumber('D');
  record.location = DriveNumber('C');
  record.bucketMask &= 0xFF;
  record.bucketSize %= 24;
  record.maxNameSize %= 300;
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::Input input(data, size);
  const DriveRecord record = RecordOf(input);
  const std::uint8_t files = input.Byte() % 48;
  const std::string tableBytes(input.Rest());

  auto& drives = fuzz_support::ScratchDrives::Fresh();
  platform::System& system = drives.System();
  const auto recordBytes = record.Serialize();
  drives.WriteHostFile(drives.Host(kDriveTablePath),
                       std::string(recordBytes.begin(), recordBytes.end()));
  drives.WriteHostFile(drives.Host(AccessTablePath('C', 'D')), tableBytes);

  // The program's side.
  AccessTables tables;
  FUZZ_CHECK(tables.Load(system, 'D', record));
  const std::vector<AccessRecord>& table = tables.Table('D');
  FUZZ_CHECK(table.size() <= tableBytes.size() / kAccessRecordSize);
  FUZZ_CHECK(table.size() <= record.Capacity() + 1);
  for (std::size_t i = 0; i < std::min<std::size_t>(table.size(), 64); ++i) {
    const std::uint64_t key = std::uint64_t{i * 0x9E3779B9u} << 32 | table[i].key;
    if (const AccessRecord* found = tables.Find('D', key)) FUZZ_CHECK(found->key == table[i].key);
  }

  // The recorder's side, on the same files. A record the drive table's check refuses
  // makes the whole table damaged: the recorder then refuses it and leaves both files
  // as they are.
  recorder::ActivityStore store(system);
  std::string error;
  if (!RecordDamage(record, 1).empty()) {
    FUZZ_CHECK(!store.Open(&error));
    FUZZ_CHECK(drives.ReadHostFile(drives.Host(AccessTablePath('C', 'D'))) == tableBytes);
    return 0;
  }
  FUZZ_CHECK(store.Open(&error));
  const std::uint32_t when = record.spanStart;
  std::vector<std::string> counted;
  for (std::uint8_t i = 0; i < files; ++i) {
    const std::string path = "D:\\folder\\file" + std::to_string(i);
    if (store.Record(path, recorder::Operation::Write, 1, when) == recorder::RecordResult::Counted) {
      counted.push_back(path);
    }
  }
  FUZZ_CHECK(store.Close(&error));

  // The program again, as at its next start.
  DriveTable driveTable;
  FUZZ_CHECK(driveTable.Load(system));
  const int index = driveTable.Find(DriveNumber('D'));
  FUZZ_CHECK(index >= 0);
  AccessTables reloaded;
  FUZZ_CHECK(reloaded.Load(system, 'D', driveTable.NewState()[static_cast<std::size_t>(index)]));
  for (const std::string& path : counted) {
    const AccessRecord* found = reloaded.Find('D', PathKey(path, store.NetworkNamesInUse()));
    FUZZ_CHECK(found != nullptr);
    FUZZ_CHECK(found->writeOnly >= 1 && found->lastAccess == when);
  }
  return 0;
}
