#include "analysis/treemap_colour.h"

#include <algorithm>
#include <cmath>

#include "analysis/space_map_text.h"
#include "files/hints.h"
#include "platform/dos_time.h"

namespace analysis {

namespace {

constexpr Rgb kCold{49, 54, 149};
constexpr Rgb kMild{255, 255, 191};
constexpr Rgb kHot{165, 0, 38};

Rgb Mix(Rgb a, Rgb b, double t) {
  const auto channel = [t](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint8_t>(std::lround(x + (y - x) * t));
  };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

double CountHeat(std::uint32_t count, std::uint32_t maxCount) {
  if (maxCount == 0) return 0;
  return std::log1p(static_cast<double>(count)) / std::log1p(static_cast<double>(maxCount));
}

}  // namespace

ColourScale MakeColourScale(const MapSnapshot& snapshot, MapColouring colouring, std::uint32_t now) {
  ColourScale scale{colouring, now, 0, snapshot.activeDatabase, snapshot.notRecorded};
  for (const MapItem& item : snapshot.items) {
    if (!item.folder) scale.maxCount = std::max(scale.maxCount, item.AccessCount());
  }
  return scale;
}

Rgb HintColour(std::uint8_t hint) {
  switch (hint) {
    case 1: return {77, 175, 74};    // C: compress
    case 2: return {255, 127, 0};    // D: decompress
    case 4: return {55, 126, 184};   // B: back up
    case 8: return {152, 78, 163};   // R: restore
    default: return {222, 214, 190};  // none
  }
}

Rgb HeatColour(double heat) {
  heat = std::clamp(heat, 0.0, 1.0);
  return heat < 0.5 ? Mix(kCold, kMild, heat * 2) : Mix(kMild, kHot, (heat - 0.5) * 2);
}

double DaysSinceAccess(std::uint32_t lastAccess, std::uint32_t now) {
  if (lastAccess == 0) return -1;
  if (!platform::DosDateTimeToFileTime(lastAccess) || !platform::DosDateTimeToFileTime(now)) return -1;
  return std::max(0.0, static_cast<double>(files::DayCount(now, lastAccess)));
}

Rgb CellColour(const MapItem& item, const ColourScale& scale) {
  if (!scale.activeDatabase || !scale.notRecorded.empty()) return kNoDatabaseGrey;
  switch (scale.colouring) {
    case MapColouring::Hint:
      return HintColour(item.hint);
    case MapColouring::Age: {
      const double days = DaysSinceAccess(item.lastAccess, scale.now);
      if (days < 0) return HeatColour(0);  // never used: as cold as it gets
      return HeatColour(1.0 - std::min(days, kColdestDays) / kColdestDays);
    }
    case MapColouring::Count:
      return HeatColour(CountHeat(item.AccessCount(), scale.maxCount));
  }
  return kNoDatabaseGrey;
}

std::vector<LegendEntry> Legend(const ColourScale& scale) {
  if (!scale.activeDatabase) {
    return {{kNoDatabaseGrey, "No active database on this drive: no activity to show"}};
  }
  if (!scale.notRecorded.empty()) return {{kNoDatabaseGrey, scale.notRecorded}};
  switch (scale.colouring) {
    case MapColouring::Hint:
      return {{HintColour(4), "B back up"}, {HintColour(1), "C compress"},
              {HintColour(2), "D decompress"}, {HintColour(8), "R restore"},
              {HintColour(0), "no hint"}};
    case MapColouring::Age:
      return {{HeatColour(1), "used today"}, {HeatColour(0.5), "half a year ago"},
              {HeatColour(0), "a year ago or more, or never"}};
    case MapColouring::Count:
      return {{HeatColour(0), "never used"},
              {HeatColour(0.5), "about " + Counted(static_cast<std::uint64_t>(std::lround(
                                                     std::sqrt(1.0 + scale.maxCount) - 1)),
                                                 "access", "accesses")},
              {HeatColour(1), Counted(scale.maxCount, "access", "accesses") + " (most)"}};
  }
  return {};
}

bool ParseColouring(const std::string& text, MapColouring& colouring) {
  if (text == "hint") colouring = MapColouring::Hint;
  else if (text == "age") colouring = MapColouring::Age;
  else if (text == "count") colouring = MapColouring::Count;
  else return false;
  return true;
}

}  // namespace analysis
