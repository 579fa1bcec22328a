#pragma once
// The space map's colourings: by hint letter, by days since the last access (cold to
// hot), by access counter (log scale). Files of a drive without an active database are
// grey whatever the colouring: their counters and dates mean nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/space_map_snapshot.h"

namespace analysis {

enum class MapColouring { Hint, Age, Count };

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kNoDatabaseGrey{150, 150, 150};
inline constexpr Rgb kFolderFrameColour{64, 64, 64};
// Ages at and beyond this many days are the coldest colour.
inline constexpr double kColdestDays = 365.0;

// What one colouring needs besides the item.
struct ColourScale {
  MapColouring colouring = MapColouring::Hint;
  std::uint32_t now = 0;         // DOS date-time the ages are counted to
  std::uint32_t maxCount = 0;    // largest access count of a file in the snapshot
  bool activeDatabase = true;
  std::string notRecorded;       // as the snapshot's
};

ColourScale MakeColourScale(const MapSnapshot& snapshot, MapColouring colouring, std::uint32_t now);
Rgb HintColour(std::uint8_t hint);
// 0 = coldest, 1 = hottest, blue through yellow to red.
Rgb HeatColour(double heat);
Rgb CellColour(const MapItem& item, const ColourScale& scale);
// Calendar days from the date of `lastAccess` to that of `now` (the measure the hints
// use); -1 when never used or a date is invalid.
double DaysSinceAccess(std::uint32_t lastAccess, std::uint32_t now);

struct LegendEntry {
  Rgb colour;
  std::string text;
};
std::vector<LegendEntry> Legend(const ColourScale& scale);
// "hint", "age", "count"; false for anything else.
bool ParseColouring(const std::string& text, MapColouring& colouring);

}  // namespace analysis
