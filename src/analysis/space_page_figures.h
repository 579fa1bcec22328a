#pragma once
// The figures of the space property pages, as the pages print them.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace scan { class CFolderInfo; }

namespace analysis {

struct SpacePageFigures {
  std::string files;          // "%lu"
  std::string totalSize;      // "%lu K" for a folder, bytes for a selection
  std::string actualSize;
  std::string usedByData;     // "%lu %"
  std::string usedInVain;     // "%lu %"
  std::string driveUsage;     // "%lu %"
  std::uint64_t pieWhole = 0;
  std::uint64_t piePart = 0;  // wasted bytes; 0 when compressed files make it negative
  // One selected file with several hard links: "3", or "3 (another link counts its data)"
  // for a later link; empty otherwise.
  std::string hardLinks;
  // Of one selected file whose counters are not its own: why ("path too long to
  // record"); empty otherwise.
  std::string noRecord;
  // False for a folder whose contents no scan has listed yet: its texts say so, and it
  // has no pie, since figures of nothing would read as a whole disc of data.
  bool read = true;
};

inline constexpr const char* kNotReadYet = "not read yet";

// A folder's or a drive's root record; `driveUsedBytes` from common::DriveSpace of its drive.
// A record never listed gets kNotReadYet in place of every figure.
SpacePageFigures FolderFigures(const scan::CFolderInfo& folder, std::uint64_t driveUsedBytes);
// The sum over the selected entries of `folder`, in list order.
SpacePageFigures SelectionFigures(const scan::CFolderInfo& folder,
                                  std::span<const std::uint32_t> selected,
                                  std::uint64_t driveUsedBytes);

// Drive "General" page: "%lu K" of common::KFloor.
std::string KiloText(std::uint64_t bytes);
// "Removable", "Fixed", "Remote", "CD ROM", "RAM disk" or "Unknown".
std::string_view DriveClassName(int driveClass);

}  // namespace analysis
