#pragma once
// The space map's layout: a squarified treemap (rows that keep cells close to square)
// nested while cells stay at least kMinCellSide wide and high. Smaller cells are not
// drawn: their area stays part of their folder's cell, which is painted in the folder's
// own colour there.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "analysis/space_map_snapshot.h"

namespace analysis {

inline constexpr double kMinCellSide = 2.0;
// The frame a folder keeps around its children, on every side.
inline constexpr double kFolderFrame = 1.0;

struct MapRect {
  double x = 0, y = 0, w = 0, h = 0;
  double Area() const { return w * h; }
  bool Contains(double px, double py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct MapCell {
  std::uint32_t item = 0;     // index in the snapshot
  std::uint32_t subtreeEnd = 0;  // index of the first cell after this cell's descendants
  std::uint16_t depth = 0;
  MapRect rect;
};

// Cells in pre-order: a folder before its children.
struct MapLayout {
  std::vector<MapCell> cells;
};

MapLayout LayOutTreemap(const MapSnapshot& snapshot, MapRect bounds);

// Squarified placement of `areas` (sorted largest first, summing to the rect's area)
// in `rect`; one rect per area, in the same order.
std::vector<MapRect> Squarify(std::span<const double> areas, MapRect rect);
// The slice-and-dice placement of the same areas (strips across the longer side): the
// baseline the squarified rows must beat.
std::vector<MapRect> Slice(std::span<const double> areas, MapRect rect);

// The deepest cell under the point, or nothing outside the map.
std::optional<std::uint32_t> HitTest(const MapLayout& layout, double x, double y);

}  // namespace analysis
