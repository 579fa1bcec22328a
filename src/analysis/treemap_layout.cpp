#include "analysis/treemap_layout.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace analysis {

namespace {

// Worst aspect ratio of a row of areas summing to `sum`, largest `largest`, smallest
// `smallest`, laid along a side of length `side`.
double WorstAspect(double sum, double largest, double smallest, double side) {
  const double side2 = side * side;
  const double sum2 = sum * sum;
  return std::max(side2 * largest / sum2, sum2 / (side2 * smallest));
}

void PlaceRow(std::span<const double> row, double rowSum, MapRect& free, std::vector<MapRect>& out) {
  if (free.w >= free.h) {  // a column at the left
    const double thickness = free.h > 0 ? rowSum / free.h : 0;
    double y = free.y;
    for (const double area : row) {
      const double h = thickness > 0 ? area / thickness : 0;
      out.push_back({free.x, y, thickness, h});
      y += h;
    }
    free.x += thickness;
    free.w = std::max(0.0, free.w - thickness);
  } else {  // a row at the top
    const double thickness = free.w > 0 ? rowSum / free.w : 0;
    double x = free.x;
    for (const double area : row) {
      const double w = thickness > 0 ? area / thickness : 0;
      out.push_back({x, free.y, w, thickness});
      x += w;
    }
    free.y += thickness;
    free.h = std::max(0.0, free.h - thickness);
  }
}

}  // namespace

std::vector<MapRect> Squarify(std::span<const double> areas, MapRect rect) {
  std::vector<MapRect> out;
  out.reserve(areas.size());
  std::size_t begin = 0;
  while (begin < areas.size()) {
    const double side = std::min(rect.w, rect.h);
    double rowSum = areas[begin];
    double worst = side > 0 ? WorstAspect(rowSum, areas[begin], areas[begin], side)
                            : std::numeric_limits<double>::infinity();
    std::size_t end = begin + 1;
    while (end < areas.size() && side > 0) {
      const double next = WorstAspect(rowSum + areas[end], areas[begin], areas[end], side);
      if (next > worst) break;
      worst = next;
      rowSum += areas[end];
      ++end;
    }
    PlaceRow(areas.subspan(begin, end - begin), rowSum, rect, out);
    begin = end;
  }
  return out;
}

std::vector<MapRect> Slice(std::span<const double> areas, MapRect rect) {
  std::vector<MapRect> out;
  out.reserve(areas.size());
  const bool across = rect.w >= rect.h;
  double at = across ? rect.x : rect.y;
  for (const double area : areas) {
    if (across) {
      const double w = rect.h > 0 ? area / rect.h : 0;
      out.push_back({at, rect.y, w, rect.h});
      at += w;
    } else {
      const double h = rect.w > 0 ? area / rect.w : 0;
      out.push_back({rect.x, at, rect.w, h});
      at += h;
    }
  }
  return out;
}

MapLayout LayOutTreemap(const MapSnapshot& snapshot, MapRect bounds) {
  MapLayout layout;
  // An empty folder has no area to share: nothing is drawn, not even its frame.
  if (snapshot.items.empty() || snapshot.items[0].Area() == 0 || bounds.w < kMinCellSide ||
      bounds.h < kMinCellSide) {
    return layout;
  }
  struct Pending {
    std::uint32_t item;
    std::uint16_t depth;
    MapRect rect;
    std::size_t parentCell;  // SIZE_MAX for the root
  };
  // Depth-first with an explicit stack, so deep trees cannot overflow the call stack.
  std::vector<Pending> stack{{0, 0, bounds, std::numeric_limits<std::size_t>::max()}};
  std::vector<std::size_t> open;  // cells whose subtree is still being emitted
  std::vector<std::uint32_t> order;
  std::vector<double> areas;
  while (!stack.empty()) {
    const Pending pending = stack.back();
    stack.pop_back();
    // Close the cells that are not ancestors of this one.
    while (!open.empty() && open.back() != pending.parentCell) {
      layout.cells[open.back()].subtreeEnd = static_cast<std::uint32_t>(layout.cells.size());
      open.pop_back();
    }
    const std::size_t cellIndex = layout.cells.size();
    layout.cells.push_back({pending.item, 0, pending.depth, pending.rect});
    open.push_back(cellIndex);
    const MapItem& item = snapshot.items[pending.item];
    if (!item.folder || item.childCount == 0) continue;
    MapRect inner{pending.rect.x + kFolderFrame, pending.rect.y + kFolderFrame,
                  pending.rect.w - 2 * kFolderFrame, pending.rect.h - 2 * kFolderFrame};
    if (inner.w < kMinCellSide || inner.h < kMinCellSide) continue;
    order.clear();
    std::uint64_t total = 0;
    for (std::uint32_t c = 0; c < item.childCount; ++c) {
      const std::uint32_t child = item.firstChild + c;
      if (snapshot.items[child].Area() == 0) continue;
      order.push_back(child);
      total += snapshot.items[child].Area();
    }
    if (total == 0) continue;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return snapshot.items[a].Area() > snapshot.items[b].Area();
    });
    // The folder's inner area is shared by its children's actual sizes; a folder whose
    // recorded total is larger than its children's (entries not listed) leaves the
    // rest as its own area.
    const double scale =
        inner.Area() / static_cast<double>(std::max(total, item.Area()));
    areas.clear();
    for (const std::uint32_t child : order) {
      areas.push_back(static_cast<double>(snapshot.items[child].Area()) * scale);
    }
    const double used = std::accumulate(areas.begin(), areas.end(), 0.0);
    MapRect area = inner;
    if (used < inner.Area()) {  // children take a part of the inner area, along its longer side
      if (inner.w >= inner.h) area.w = used / inner.h; else area.h = used / inner.w;
    }
    const std::vector<MapRect> rects = Squarify(areas, area);
    // Pushed in reverse so the largest child is emitted first.
    for (std::size_t k = order.size(); k-- > 0;) {
      if (rects[k].w < kMinCellSide || rects[k].h < kMinCellSide) continue;
      stack.push_back({order[k], static_cast<std::uint16_t>(pending.depth + 1), rects[k], cellIndex});
    }
  }
  while (!open.empty()) {
    layout.cells[open.back()].subtreeEnd = static_cast<std::uint32_t>(layout.cells.size());
    open.pop_back();
  }
  return layout;
}

std::optional<std::uint32_t> HitTest(const MapLayout& layout, double x, double y) {
  std::optional<std::uint32_t> found;
  std::uint32_t k = 0;
  const auto count = static_cast<std::uint32_t>(layout.cells.size());
  while (k < count) {
    const MapCell& cell = layout.cells[k];
    if (cell.rect.Contains(x, y)) {
      found = k;
      ++k;  // into its children
    } else {
      k = cell.subtreeEnd;  // past its subtree
    }
  }
  return found;
}

}  // namespace analysis
