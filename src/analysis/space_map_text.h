#pragma once
// The space map's words: the hover text of a cell and the line under the map, which
// speaks of what the map is coloured by.

#include <cstdint>
#include <string>

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"

namespace analysis {

// Path, sizes, last access, counters and hint, one per line.
std::string HoverText(const MapSnapshot& snapshot, std::uint32_t item);
// "B: 12 files, 3,4 MB freed  C: ..." for the map's status line.
std::string SavingsText(const HintSavings& savings);
// 1234567 → "1,234,567".
std::string GroupedNumber(std::uint64_t value);
// "1 access", "1,200 accesses".
std::string Counted(std::uint64_t count, const char* one, const char* many);

// Files unused for more days than this are idle on the age line.
inline constexpr double kIdleDays = 90.0;
// The line under the map for `colouring`: the savings for hints, "age: 40 % of the
// bytes idle over 90 days" for ages, "count: ..." for access counters. Ages count to
// `now`; files never used are idle. Without recorded activity it says so.
std::string MapLine(const MapSnapshot& snapshot, MapColouring colouring, std::uint32_t now);

}  // namespace analysis
