// norvex-cli tables: the path key's hash constants as JSON, for checking a recorder build.

#include <ostream>
#include <vector>

#include "activity/key_tables.h"
#include "command.h"

namespace cli {
namespace {

int Tables(Context& context, const std::vector<std::string>& args) {
  if (!args.empty()) {
    context.err << "norvex-cli tables: takes no arguments\n";
    return kExitUsage;
  }
  std::ostream& out = context.out;
  out << "{\"key\":[";
  for (int i = 0; i < 8; ++i) out << (i ? "," : "") << activity::KeyWord(i);
  out << "],\"sbox\":[";
  for (std::size_t t = 0; t < activity::SubstitutionTables.size(); ++t) {
    out << (t ? ",[" : "[");
    for (std::size_t b = 0; b < 256; ++b) out << (b ? "," : "") << int{activity::SubstitutionTables[t][b]};
    out << "]";
  }
  out << "]}\n";
  return kExitOk;
}

}  // namespace

const Command kTablesCommand{"tables",
    "tables   the path key's KeyTable and T0..T3 as JSON",
    &Tables};

}  // namespace cli
