#pragma once
// norvex-cli db --json: the drive table and one file's access record as JSON.
//
// db --json (format "norvex-drive-table", version 1), one object:
//   {"format", "version", "file": "C:\\DriveTbl.NVX",
//    "records": [{"drive": "D:", "location": "C:" (the drive holding its tables),
//                 "accessTable": "C:\\FileTblD.NVX", "nameTable": "C:\\FileNamD.NVX",
//                 "bucketMask", "bucketSize", "capacity" (records), "recordsInUse",
//                 "fillPercent", "namesStored": bool, "namesState" (-1: names not
//                 stored), "maxNameSize" (bytes per name), "spanStart", "spanEnd"
//                 ("YYYY-MM-DD HH:MM:SS" local time, or null when not a date;
//                 "2099-12-31 23:59:58" means no end),
//                 "coverage": the periods the recorder recorded the drive (coverage_json.h)},
//                ...]}   in table order
//
// db lookup --json X: PATH (format "norvex-access-record", version 1), one object:
//   {"format", "version", "drive": "D:", "path": the Windows path looked up,
//    "key": its 64-bit path key as 16 hex digits,
//    "record": null when the drive's table holds none, else
//              {"index", "lastAccess" (as above, null when never), "lastOperation"
//               (0 R, 1 W, 2 RW, 3 E, 4 S), "readOnly", "writeOnly", "readWrite",
//               "execute", "seek", "total"}}

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "activity/coverage_file.h"
#include "activity/drive_record.h"
#include "activity/drive_table.h"

namespace cli {

// `coverage` holds each record's coverage file, in table order.
void WriteDriveTableJson(std::ostream& out, const activity::DriveTable& table,
                         const std::vector<activity::CoverageLoad>& coverage);

// `record` is null when the lookup found nothing; `index` is its place in the table.
void WriteAccessRecordJson(std::ostream& out, char drive, const std::string& path, std::uint64_t key,
                           std::int64_t index, const activity::AccessRecord* record);

}  // namespace cli
