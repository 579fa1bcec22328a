#include "activity/key_tables.h"

#include <bit>

namespace activity {
namespace {

constexpr RoundTableSet MakeRoundTables() {
  constexpr int kTableOfPosition[4] = {0, 3, 2, 1};  // byte 0 through T0, byte 1 through T3, ...
  RoundTableSet set{};
  for (int position = 0; position < 4; ++position) {
    const ByteTable& table = SubstitutionTables[kTableOfPosition[position]];
    for (int b = 0; b < 256; ++b) {
      set.byPosition[position][b] = std::rotl(std::uint32_t{table[b]} << (8 * position), 11);
    }
  }
  return set;
}

}  // namespace

constinit const RoundTableSet RoundTables = MakeRoundTables();

}  // namespace activity
