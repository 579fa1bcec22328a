// norvex-cli handoff FILE: lists the actions a "ShadowTbl.NVX" hands to the background
// program, one line each, after checking the whole file.

#include <ostream>

#include "shell/handoff_file.h"
#include "command.h"

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

int HandOff(cli::Context& context, const std::vector<std::string>& args) {
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
  context.out << "pending actions: " << table->count << ", records: " << table->entries.size() << "\n";
  for (const shell::HandOffEntry& entry : table->entries) {
    context.out << ActionName(entry.action) << '\t' << (entry.kind == 1 ? "folder" : "file") << '\t';
    if (entry.backupDrive >= 'A' && entry.backupDrive <= 'Z') {
      context.out << static_cast<char>(entry.backupDrive) << ':';
    } else {
      context.out << '-';
    }
    context.out << '\t' << entry.path << "\n";
  }
  return cli::kExitOk;
}

cli::CommandRegistration reg("handoff", "handoff FILE   list the actions of a ShadowTbl.NVX", &HandOff);

}  // namespace
