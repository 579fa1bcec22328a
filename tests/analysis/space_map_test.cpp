// The space map: layout invariants, colourings, hit testing and the hint savings.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "analysis/hint_savings.h"
#include "analysis/space_map_snapshot.h"
#include "analysis/space_map_text.h"
#include "analysis/treemap_colour.h"
#include "analysis/treemap_layout.h"
#include "platform/dos_time.h"
#include "scan/folder_info.h"

namespace analysis {
namespace {

// A snapshot with `folders` folders under the root, each holding the given file sizes.
MapSnapshot MakeSnapshot(const std::vector<std::vector<std::uint64_t>>& folders) {
  MapSnapshot snapshot;
  snapshot.rootPath = "D:\\";
  MapItem root;
  root.folder = true;
  root.firstChild = 1;
  root.childCount = static_cast<std::uint32_t>(folders.size());
  snapshot.items.push_back(root);
  for (std::size_t f = 0; f < folders.size(); ++f) {
    MapItem folder;
    folder.folder = true;
    snapshot.SetName(folder, "f" + std::to_string(f));
    folder.actualSize = std::accumulate(folders[f].begin(), folders[f].end(), std::uint64_t{0});
    snapshot.items[0].actualSize += folder.actualSize;
    snapshot.items.push_back(folder);
  }
  for (std::size_t f = 0; f < folders.size(); ++f) {
    snapshot.items[1 + f].firstChild = static_cast<std::uint32_t>(snapshot.items.size());
    snapshot.items[1 + f].childCount = static_cast<std::uint32_t>(folders[f].size());
    for (std::size_t k = 0; k < folders[f].size(); ++k) {
      MapItem file;
      snapshot.SetName(file, "x" + std::to_string(k));
      file.actualSize = folders[f][k];
      file.parent = static_cast<std::uint32_t>(1 + f);
      snapshot.items.push_back(file);
    }
  }
  return snapshot;
}

double Aspect(const MapRect& r) { return std::max(r.w / r.h, r.h / r.w); }

bool Inside(const MapRect& inner, const MapRect& outer) {
  constexpr double e = 1e-6;
  return inner.x >= outer.x - e && inner.y >= outer.y - e && inner.x + inner.w <= outer.x + outer.w + e &&
         inner.y + inner.h <= outer.y + outer.h + e;
}

bool Overlap(const MapRect& a, const MapRect& b) {
  constexpr double e = 1e-6;
  return a.x + e < b.x + b.w && b.x + e < a.x + a.w && a.y + e < b.y + b.h && b.y + e < a.y + a.h;
}

TEST(SpaceMapLayout, KeepsAreasProportionalCellsApartAndInsideTheirFolder) {
  const unsigned seed = 1907;
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::uint64_t> size(1, 1'000'000);
  std::vector<std::vector<std::uint64_t>> folders(6);
  for (auto& files : folders) {
    files.resize(3 + random() % 40);
    for (auto& s : files) s = size(random);
  }
  const MapSnapshot snapshot = MakeSnapshot(folders);
  const MapLayout layout = LayOutTreemap(snapshot, {0, 0, 1200, 800});
  ASSERT_FALSE(layout.cells.empty()) << "seed " << seed;
  std::vector<const MapCell*> cellOf(snapshot.items.size(), nullptr);
  for (const MapCell& cell : layout.cells) cellOf[cell.item] = &cell;
  for (std::uint32_t f = 1; f <= folders.size(); ++f) {
    const MapItem& folder = snapshot.items[f];
    ASSERT_NE(cellOf[f], nullptr) << "seed " << seed;
    const MapRect frame = cellOf[f]->rect;
    const MapRect inner{frame.x + kFolderFrame, frame.y + kFolderFrame, frame.w - 2 * kFolderFrame,
                        frame.h - 2 * kFolderFrame};
    const double perByte = inner.Area() / static_cast<double>(folder.actualSize);
    std::vector<MapRect> drawn;
    for (std::uint32_t c = folder.firstChild; c < folder.firstChild + folder.childCount; ++c) {
      if (!cellOf[c]) continue;  // merged into the folder
      const MapRect r = cellOf[c]->rect;
      EXPECT_GE(std::min(r.w, r.h), kMinCellSide) << "seed " << seed;
      EXPECT_TRUE(Inside(r, inner)) << "item " << c << " seed " << seed;
      EXPECT_NEAR(r.Area(), static_cast<double>(snapshot.items[c].actualSize) * perByte, 0.01)
          << "item " << c << " seed " << seed;
      for (const MapRect& other : drawn) EXPECT_FALSE(Overlap(r, other)) << "item " << c << " seed " << seed;
      drawn.push_back(r);
    }
  }
}

TEST(SpaceMapLayout, SquarifiedRowsAreNoWorseThanSlices) {
  const unsigned seed = 77;
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> share(1, 100);
  for (int round = 0; round < 20; ++round) {
    std::vector<double> areas(2 + random() % 60);
    for (double& a : areas) a = share(random);
    std::sort(areas.rbegin(), areas.rend());
    const MapRect rect{0, 0, 300 + 5.0 * round, 200};
    const double scale = rect.Area() / std::accumulate(areas.begin(), areas.end(), 0.0);
    for (double& a : areas) a *= scale;
    const auto meanAspect = [](const std::vector<MapRect>& rects) {
      double sum = 0;
      for (const MapRect& r : rects) sum += Aspect(r);
      return sum / static_cast<double>(rects.size());
    };
    const auto worstAspect = [](const std::vector<MapRect>& rects) {
      double worst = 0;
      for (const MapRect& r : rects) worst = std::max(worst, Aspect(r));
      return worst;
    };
    const auto squares = Squarify(areas, rect);
    const auto slices = Slice(areas, rect);
    EXPECT_LE(meanAspect(squares), meanAspect(slices)) << "round " << round << " seed " << seed;
    EXPECT_LE(worstAspect(squares), worstAspect(slices)) << "round " << round << " seed " << seed;
    for (const MapRect& r : squares) EXPECT_TRUE(Inside(r, rect)) << "round " << round << " seed " << seed;
  }
}

TEST(SpaceMapLayout, MergesCellsUnderTwoPixelsIntoTheirFolderAndSkipsEmptyFiles) {
  // One big file and many tiny ones: the tiny ones cannot be 2 px wide, so only the
  // big one and the folders are drawn; an empty file takes no cell.
  std::vector<std::uint64_t> files{10'000'000, 0};
  for (int k = 0; k < 50; ++k) files.push_back(1);
  const MapSnapshot snapshot = MakeSnapshot({files});
  const MapLayout layout = LayOutTreemap(snapshot, {0, 0, 200, 100});
  ASSERT_EQ(layout.cells.size(), 3u);  // root, folder, the big file
  EXPECT_EQ(snapshot.items[layout.cells[2].item].actualSize, 10'000'000u);
  EXPECT_TRUE(LayOutTreemap(snapshot, {0, 0, 1, 100}).cells.empty());
  EXPECT_TRUE(LayOutTreemap(MakeSnapshot({}), {0, 0, 200, 100}).cells.empty());  // an empty drive
}

TEST(SpaceMapLayout, HitTestingFindsTheDeepestCellAndNothingOutside) {
  const MapSnapshot snapshot = MakeSnapshot({{600, 300}, {100}});
  const MapLayout layout = LayOutTreemap(snapshot, {0, 0, 100, 100});
  for (std::uint32_t k = 0; k < layout.cells.size(); ++k) {
    const MapRect r = layout.cells[k].rect;
    const auto hit = HitTest(layout, r.x + r.w / 2, r.y + r.h / 2);
    ASSERT_TRUE(hit);
    // The centre of a folder lies in one of its children; of a file, in the file.
    if (!snapshot.items[layout.cells[k].item].folder) {
      EXPECT_EQ(*hit, k);
    }
  }
  // The folder's frame belongs to the folder, not to a child.
  const auto frame = HitTest(layout, layout.cells[1].rect.x + 0.5, layout.cells[1].rect.y + 0.5);
  ASSERT_TRUE(frame);
  EXPECT_EQ(layout.cells[*frame].item, layout.cells[1].item);
  EXPECT_FALSE(HitTest(layout, 100.5, 50));
  EXPECT_FALSE(HitTest(layout, -1, 50));
}

TEST(SpaceMapColour, EachColouringOrdersItsValueAndNoDatabaseIsGrey) {
  const auto now = *platform::ParseDosDateTime("2024-06-30 12:00:00");
  MapItem hot;
  hot.lastAccess = *platform::ParseDosDateTime("2024-06-30 11:00:00");
  hot.readOnly = 1000;
  hot.hint = 2;
  MapItem cold;
  cold.lastAccess = *platform::ParseDosDateTime("2022-01-01 00:00:00");
  cold.readOnly = 1;
  cold.hint = 4;
  MapItem never;  // no record at all
  MapSnapshot snapshot;
  snapshot.items = {hot, cold, never};

  const ColourScale age = MakeColourScale(snapshot, MapColouring::Age, now);
  EXPECT_EQ(CellColour(hot, age), HeatColour(1)) << "used today";
  MapItem lastNight;  // yesterday by the calendar, however few hours ago
  lastNight.lastAccess = *platform::ParseDosDateTime("2024-06-29 23:00:00");
  EXPECT_EQ(CellColour(lastNight, MakeColourScale(snapshot, MapColouring::Age,
                                                  *platform::ParseDosDateTime("2024-06-30 00:30:00"))),
            HeatColour(1.0 - 1.0 / kColdestDays));
  EXPECT_EQ(CellColour(cold, age), HeatColour(0));
  EXPECT_EQ(CellColour(never, age), HeatColour(0));

  const ColourScale count = MakeColourScale(snapshot, MapColouring::Count, now);
  EXPECT_EQ(count.maxCount, 1000u);
  EXPECT_EQ(CellColour(hot, count), HeatColour(1));
  EXPECT_EQ(CellColour(never, count), HeatColour(0));
  // Log scale: one access out of a thousand is already a tenth of the way up.
  EXPECT_EQ(CellColour(cold, count), HeatColour(std::log(2.0) / std::log(1001.0)));

  const ColourScale hint = MakeColourScale(snapshot, MapColouring::Hint, now);
  EXPECT_EQ(CellColour(hot, hint), HintColour(2));
  EXPECT_NE(HintColour(2), HintColour(4));
  EXPECT_NE(HintColour(0), kNoDatabaseGrey);

  // A drive the recorder did not watch long enough: its "never used" means nothing.
  snapshot.notRecorded = "Recorded 3 of the last 15 days: no B hints";
  for (const MapColouring mode : {MapColouring::Hint, MapColouring::Age, MapColouring::Count}) {
    const ColourScale grey = MakeColourScale(snapshot, mode, now);
    EXPECT_EQ(CellColour(hot, grey), kNoDatabaseGrey);
    ASSERT_EQ(Legend(grey).size(), 1u);
    EXPECT_EQ(Legend(grey)[0].text, snapshot.notRecorded);
  }
  snapshot.notRecorded.clear();
  snapshot.activeDatabase = false;
  for (const MapColouring mode : {MapColouring::Hint, MapColouring::Age, MapColouring::Count}) {
    const ColourScale grey = MakeColourScale(snapshot, mode, now);
    EXPECT_EQ(CellColour(hot, grey), kNoDatabaseGrey);
    ASSERT_EQ(Legend(grey).size(), 1u);
  }
}

// The line under the map speaks of what the map is coloured by, in words that count
// right for one.
TEST(SpaceMapLine, FollowsTheColouringAndCountsOneRight) {
  const auto now = *platform::ParseDosDateTime("2024-06-30 12:00:00");
  MapSnapshot snapshot = MakeSnapshot({{4000, 1000, 5000}});
  MapItem* files = &snapshot.items[snapshot.items[1].firstChild];
  files[0].lastAccess = *platform::ParseDosDateTime("2024-06-01 10:00:00");  // 29 days: busy
  files[0].readOnly = 1;
  files[1].lastAccess = *platform::ParseDosDateTime("2024-01-01 10:00:00");  // idle
  files[1].readOnly = 1;
  files[2].hint = 4;  // never used: idle
  EXPECT_EQ(MapLine(snapshot, MapColouring::Age, now), "age: 60 % of the bytes idle over 90 days");
  EXPECT_EQ(MapLine(snapshot, MapColouring::Count, now),
            "count: 50 % of the bytes never accessed; the busiest file 1 access");
  EXPECT_EQ(MapLine(snapshot, MapColouring::Hint, now).substr(0, 22), "B: 1 file, 5,000 bytes");
  const ColourScale count = MakeColourScale(snapshot, MapColouring::Count, now);
  EXPECT_EQ(Legend(count).back().text, "1 access (most)");
  snapshot.activeDatabase = false;  // no figure drawn from counters that mean nothing
  EXPECT_EQ(MapLine(snapshot, MapColouring::Age, now), "age: no activity recorded on this drive");
}

TEST(HintSavings, SumsEachLetterAndMeasuresTheRatioOnCompressedFiles) {
  MapSnapshot snapshot = MakeSnapshot({{4096, 8192, 1000, 2048}});
  MapItem* files = &snapshot.items[snapshot.items[1].firstChild];
  files[0].hint = 4;                       // B: its actual size is freed
  files[1].hint = 1;                       // C
  files[2].state = scan::kStateCompressed; // compressed to a quarter
  files[2].size = 4000;
  files[2].compressedSize = 1000;
  files[2].hint = 2;                       // D: brings back its plain size
  files[3].hint = 8;
  files[3].size = 2048;
  const HintSavings savings = SumHintSavings(snapshot);
  EXPECT_EQ(savings.backUp.files, 1u);
  EXPECT_EQ(savings.backUp.bytes, 4096u);
  EXPECT_EQ(savings.compress.bytes, 8192u);
  EXPECT_EQ(savings.decompress.bytes, 4000u);
  EXPECT_EQ(savings.restore.bytes, 2048u);
  ASSERT_TRUE(savings.measuredRatio);
  EXPECT_DOUBLE_EQ(*savings.measuredRatio, 0.25);
  EXPECT_EQ(savings.compressFrees, 6144u);

  files[2].state = scan::kStateNormal;  // nothing measured: no guess
  EXPECT_FALSE(SumHintSavings(snapshot).compressFrees);
}

}  // namespace
}  // namespace analysis
