#include "db_json.h"

#include <cstdio>

#include "activity/access_tables.h"
#include "coverage_json.h"
#include "json_writer.h"

namespace cli {

void WriteDriveTableJson(std::ostream& out, const activity::DriveTable& table,
                         const std::vector<activity::CoverageLoad>& coverage) {
  tools::JsonWriter json(out);
  json.Document("norvex-drive-table", 1).Member("file", activity::kDriveTablePath).Key("records").Array();
  const auto& records = table.NewState();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const activity::DriveRecord& r = records[i];
    const char drive = activity::DriveLetter(r.drive);
    const char location = activity::DriveLetter(r.location);
    json.Object()
        .Member("drive", std::string{drive, ':'})
        .Member("location", std::string{location, ':'})
        .Member("accessTable", activity::AccessTablePath(location, drive))
        .Member("nameTable", activity::NameTablePath(location, drive))
        .Member("bucketMask", std::uint32_t{r.bucketMask})
        .Member("bucketSize", std::uint32_t{r.bucketSize})
        .Member("capacity", r.Capacity())
        .Member("recordsInUse", r.recordsInUse)
        .Member("fillPercent", table.FillPercentage(static_cast<int>(i)))
        .Member("namesStored", r.namesState != -1)
        .Member("namesState", r.namesState)
        .Member("maxNameSize", std::uint32_t{r.maxNameSize})
        .MemberOrNull("spanStart", tools::DosDateTimeText(r.spanStart))
        .MemberOrNull("spanEnd", tools::DosDateTimeText(r.spanEnd))
        .Key("coverage");
    WriteCoverageFileJson(json, activity::CoverageFilePath(location, drive), coverage[i]);
    json.End();
  }
  json.End().End();
}

void WriteAccessRecordJson(std::ostream& out, char drive, const std::string& path, std::uint64_t key,
                           std::int64_t index, const activity::AccessRecord* record) {
  char keyText[17];
  std::snprintf(keyText, sizeof keyText, "%016llx", static_cast<unsigned long long>(key));
  tools::JsonWriter json(out);
  json.Document("norvex-access-record", 1)
      .Member("drive", std::string{drive, ':'})
      .Member("path", path)
      .Member("key", keyText)
      .Key("record");
  if (record == nullptr) {
    json.Null();
  } else {
    json.Object()
        .Key("index").Signed(index)
        .MemberOrNull("lastAccess", tools::DosDateTimeText(record->lastAccess))
        .Member("lastOperation", int{record->lastOperation})
        .Member("readOnly", record->readOnly)
        .Member("writeOnly", record->writeOnly)
        .Member("readWrite", record->readWrite)
        .Member("execute", record->execute)
        .Member("seek", record->seek)
        .Member("total", record->total)
        .End();
  }
  json.End();
}

}  // namespace cli
