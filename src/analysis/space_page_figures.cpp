#include "analysis/space_page_figures.h"

#include "common/space.h"
#include "files/record_doubt.h"
#include "scan/folder_info.h"

namespace analysis {
namespace {

std::string Percent(std::uint64_t value) { return std::to_string(value) + " %"; }

std::string DriveUsage(std::uint64_t actual, std::uint64_t driveUsedBytes) {
  return Percent(driveUsedBytes == 0 ? 100 : common::SharePercent(actual, driveUsedBytes));
}

std::uint64_t Wasted(std::uint64_t actual, std::uint64_t size) {
  return actual > size ? actual - size : 0;
}

}  // namespace

std::string KiloText(std::uint64_t bytes) { return std::to_string(common::KFloor(bytes)) + " K"; }

std::string_view DriveClassName(int driveClass) {
  static constexpr std::string_view kNames[] = {"Removable", "Fixed",    "Remote",
                                                "CD ROM",    "RAM disk", "Unknown"};
  return driveClass >= 0 && driveClass < 6 ? kNames[driveClass] : kNames[5];
}

SpacePageFigures FolderFigures(const scan::CFolderInfo& folder, std::uint64_t driveUsedBytes) {
  SpacePageFigures figures;
  if (folder.readState == scan::ReadState::NotRead) {
    figures.read = false;
    for (std::string* text : {&figures.files, &figures.totalSize, &figures.actualSize,
                              &figures.usedByData, &figures.usedInVain, &figures.driveUsage}) {
      *text = kNotReadYet;
    }
    return figures;
  }
  const std::uint32_t used = folder.UsedPercent();
  figures.files = std::to_string(folder.totalFiles);
  figures.totalSize = KiloText(folder.totalSize);
  figures.actualSize = KiloText(folder.totalActualSize);
  figures.usedByData = Percent(used);
  figures.usedInVain = Percent(used >= 100 ? 0 : 100 - used);
  figures.driveUsage = DriveUsage(folder.totalActualSize, driveUsedBytes);
  figures.pieWhole = folder.totalActualSize;
  figures.piePart = Wasted(folder.totalActualSize, folder.totalSize);
  return figures;
}

SpacePageFigures SelectionFigures(const scan::CFolderInfo& folder,
                                  std::span<const std::uint32_t> selected,
                                  std::uint64_t driveUsedBytes) {
  std::uint64_t count = 0;
  std::uint64_t size = 0;
  std::uint64_t actual = 0;
  for (const std::uint32_t i : selected) {
    if (i >= folder.Count()) continue;
    count += folder.FileCount(i);
    size += folder.sizes()[i];
    actual += folder.ActualSize(i);
  }
  SpacePageFigures figures;
  figures.files = std::to_string(count);
  figures.totalSize = std::to_string(size);
  figures.actualSize = std::to_string(actual);
  if (actual != 0) {
    figures.usedInVain = Percent(common::SharePercent(Wasted(actual, size), actual));
    figures.usedByData = Percent(common::SharePercent(size, actual));
  } else {
    figures.usedInVain = "0 %";
    figures.usedByData = "100 %";
  }
  figures.driveUsage = DriveUsage(actual, driveUsedBytes);
  figures.pieWhole = actual;
  figures.piePart = Wasted(actual, size);
  if (selected.size() == 1 && selected[0] < folder.Count()) {
    const scan::FileTraits* traits = folder.Traits(selected[0]);
    if (traits != nullptr && traits->SeveralLinks()) {
      figures.hardLinks = std::to_string(traits->links);
      if (traits->laterLink) figures.hardLinks += " (another link counts its data)";
    }
    figures.noRecord = files::RecordDoubtText(files::FolderDoubts(folder).Of(selected[0]));
  }
  return figures;
}

}  // namespace analysis
