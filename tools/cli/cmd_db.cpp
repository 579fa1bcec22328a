// norvex-cli db: the drive table's records, or one file's access record.

#include <cstdio>
#include <ostream>
#include <string>

#include "activity/access_tables.h"
#include "activity/coverage_file.h"
#include "activity/drive_table.h"
#include "activity/path_key.h"
#include "activity/recorder_control.h"
#include "cli_databases.h"
#include "cli_flags.h"
#include "cli_paths.h"
#include "command.h"
#include "db_json.h"

namespace cli {
namespace {

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

void CouldNotOpen(Context& context, const std::string& path) {
  context.err << "norvex-cli: could not open " << path << "\n";
}

int ListRecords(Context& context, bool json) {
  activity::DriveTable table;
  std::vector<activity::CoverageLoad> coverage;
  {
    // The recorder keeps the table open while it runs.
    const activity::RecorderHold hold(context.system);
    if (hold.Refused()) return ReportRefused(context);
    if (!table.Load(context.system)) return ReportUnloadedTable(context, table);
    for (const activity::DriveRecord& r : table.NewState()) {
      coverage.push_back(activity::LoadCoverage(context.system, activity::DriveLetter(r.location),
                                                activity::DriveLetter(r.drive), context.system.Now()));
    }
  }
  if (json) {
    WriteDriveTableJson(context.out, table, coverage);
    return kExitOk;
  }
  const auto& records = table.NewState();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const activity::DriveRecord& r = records[i];
    context.out << activity::DriveLetter(r.drive) << '\t' << activity::DriveLetter(r.location) << '\t'
                << r.bucketMask << '\t' << r.bucketSize << '\t' << r.namesState << '\t'
                << r.maxNameSize << '\t' << Hex8(r.spanStart) << '\t' << Hex8(r.spanEnd) << '\t'
                << r.recordsInUse << '\t' << r.Capacity() << '\t'
                << table.FillPercentage(static_cast<int>(i)) << '\n';
  }
  return kExitOk;
}

int LookupRecord(Context& context, const std::string& driveArgument, const std::string& pathArgument,
                 bool json) {
  const auto drive = ParseDriveLetter(driveArgument);
  if (!drive) {
    context.err << "norvex-cli: '" << driveArgument << "' is not a drive (expected X:)\n";
    return kExitUsage;
  }
  std::string error;
  const auto path = ToWindowsPath(context.system.Drives(), pathArgument, &error);
  if (!path) {
    context.err << "norvex-cli: " << error << "\n";
    return kExitUsage;
  }

  activity::DriveTable table;
  activity::AccessTables tables;
  {
    const activity::RecorderHold hold(context.system);
    if (hold.Refused()) return ReportRefused(context);
    if (!table.Load(context.system)) return ReportUnloadedTable(context, table);
    const int index = table.Find(activity::DriveNumber(*drive));
    if (index >= 0) {
      const activity::DriveRecord& record = table.NewState()[static_cast<std::size_t>(index)];
      if (!tables.Load(context.system, *drive, record)) {
        CouldNotOpen(context, activity::AccessTablePath(activity::DriveLetter(record.location), *drive));
        return kExitFailed;
      }
    }
  }

  const std::uint64_t key = activity::PathKey(*path, activity::ReadNetworkNames(context.system));
  const std::int64_t index =
      tables.Lookup(*drive, static_cast<std::uint32_t>(key), static_cast<std::uint32_t>(key >> 32));
  const activity::AccessRecord* found =
      index < 0 ? nullptr : &tables.Table(*drive)[static_cast<std::size_t>(index)];
  if (json) {
    WriteAccessRecordJson(context.out, *drive, *path, key, index, found);
    return kExitOk;
  }
  if (found == nullptr) {
    context.out << "not found\n";
    return kExitOk;
  }
  const activity::AccessRecord& r = *found;
  context.out << index << '\t' << Hex8(r.lastAccess) << '\t' << unsigned{r.lastOperation} << '\t'
              << r.readOnly << '\t' << r.writeOnly << '\t' << r.readWrite << '\t' << r.total << '\n';
  return kExitOk;
}

int Db(Context& context, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  const bool json = TakeFlag(args, "--json");
  if (args.empty()) return ListRecords(context, json);
  if (args.size() == 3 && args[0] == "lookup") return LookupRecord(context, args[1], args[2], json);
  context.err << "norvex-cli: usage: db [--json] [lookup X: PATH]\n";
  return kExitUsage;
}

}  // namespace

const Command kDbCommand{"db",
    "db [--json] [lookup X: PATH]\n"
    "                          the drive table, or the access record of PATH",
    &Db};

}  // namespace cli
