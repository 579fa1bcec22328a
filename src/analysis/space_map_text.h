#pragma once
// The space map's words: the hover text of a cell and the savings line under the map.

#include <cstdint>
#include <string>

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"

namespace analysis {

// Path, sizes, last access, counters and hint, one per line.
std::string HoverText(const MapSnapshot& snapshot, std::uint32_t item);
// "B: 12 files, 3,4 MB freed  C: ..." for the map's status line.
std::string SavingsText(const HintSavings& savings);
// 1234567 → "1,234,567".
std::string GroupedNumber(std::uint64_t value);

}  // namespace analysis
