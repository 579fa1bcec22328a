#pragma once
// A drive's recording coverage in the CLI's JSON documents.
//
// "coverage" of a db --json record:
//   {"file": "C:\\FileCovD.NVX", "state": "missing" | "loaded" | "damaged",
//    "damage": what is wrong, or null,
//    "periods": [{"start", "lastSeen" ("YYYY-MM-DD HH:MM:SS" local time),
//                 "startUtc", "lastSeenUtc", "bootTimeUtc" (seconds since 1970, UTC;
//                 bootTimeUtc 0 when unknown), "bootId" (32 hex digits, all 0 when
//                 unknown), "end": "unknown" | "clean stop" | "shutdown"}, ...]}
//
// "coverage" of report --json and report --savings --json:
//   {"drive": "D:", "database": bool, "summary": one sentence for the user,
//    "idleWindow" / "span": {"coveredSeconds", "seconds", "enough": bool},
//    "backUp" / "compress": {"allowed": bool, "reason": why withheld, or null}}

#include <string>

#include "activity/coverage_file.h"
#include "files/hint_coverage.h"
#include "json_writer.h"

namespace cli {

void WriteCoverageFileJson(tools::JsonWriter& json, const std::string& file, const activity::CoverageLoad& load);
void WriteCoverageJudgementJson(tools::JsonWriter& json, char drive, const files::DriveCoverage& coverage);

}  // namespace cli
