// norvex-cli handoff FILE: lists the actions a "ShadowTbl.NVX" hands to the background
// program, one line each, after checking the whole file.
//
// --json (format "norvex-handoff", version 1), one object:
//   {"format", "version", "file": FILE as given, "pendingActions": the count stored,
//    "actions": [{"action": "compress", "decompress", "back up" or "restore",
//                 "kind": "file" or "folder", "backupDrive": "E:" or null,
//                 "path": "D:\\Work\\a.txt"}, ...]}   in the file's order

#include <optional>
#include <ostream>
#include <string>

#include "cli_flags.h"
#include "command.h"
#include "json_writer.h"
#include "shell/handoff_file.h"

namespace {

const char* ActionName(std::uint8_t action) {
  switch (action) {
    case 1: return "compress";
    case 2: return "decompress";
    case 4: return "back up";
    case 8: return "restore";
    default: return "?";
  }
}

std::optional<std::string> BackupDrive(const shell::HandOffEntry& entry) {
  if (entry.backupDrive < 'A' || entry.backupDrive > 'Z') return std::nullopt;
  return std::string(1, static_cast<char>(entry.backupDrive)) + ":";
}

const char* KindName(const shell::HandOffEntry& entry) { return entry.kind == 1 ? "folder" : "file"; }

void WriteJson(std::ostream& out, const std::string& file, const shell::HandOffTable& table) {
  tools::JsonWriter json(out);
  json.Document("norvex-handoff", 1)
      .Member("file", file)
      .Member("pendingActions", table.count)
      .Key("actions")
      .Array();
  for (const shell::HandOffEntry& entry : table.entries) {
    json.Object()
        .Member("action", ActionName(entry.action))
        .Member("kind", KindName(entry))
        .MemberOrNull("backupDrive", BackupDrive(entry))
        .Member("path", entry.path)
        .End();
  }
  json.End().End();
}

int HandOff(cli::Context& context, const std::vector<std::string>& arguments) {
  std::vector<std::string> args = arguments;
  const bool json = cli::TakeFlag(args, "--json");
  if (args.size() != 1) {
    context.err << "norvex-cli handoff: name one hand-off file\n";
    return cli::kExitUsage;
  }
  std::string error;
  const auto table = shell::ReadHandOffFile(args[0], &error);
  if (!table) {
    context.err << "norvex-cli handoff: " << args[0] << ": " << error << "\n";
    return cli::kExitFailed;
  }
  if (json) {
    WriteJson(context.out, args[0], *table);
    return cli::kExitOk;
  }
  context.out << "pending actions: " << table->count << ", records: " << table->entries.size() << "\n";
  for (const shell::HandOffEntry& entry : table->entries) {
    context.out << ActionName(entry.action) << '\t' << KindName(entry) << '\t'
                << BackupDrive(entry).value_or("-") << '\t' << entry.path << "\n";
  }
  return cli::kExitOk;
}

}  // namespace

const cli::Command cli::kHandOffCommand{"handoff",
    "handoff [--json] FILE   list the actions of a ShadowTbl.NVX",
    &HandOff};
