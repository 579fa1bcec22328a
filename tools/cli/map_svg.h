#pragma once
// The space map as an SVG document: one <rect> per drawn cell (files with class "file",
// folders with class "folder"), each with data-path, data-bytes and a <title> that a
// browser shows on hover, then the legend.

#include <cstdint>
#include <ostream>

#include "analysis/space_map_snapshot.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"

namespace cli {

inline constexpr int kLegendHeight = 24;

void WriteMapSvg(std::ostream& out, const analysis::MapSnapshot& snapshot, const analysis::MapLayout& layout,
                 const analysis::ColourScale& scale, int width, int height);

}  // namespace cli
