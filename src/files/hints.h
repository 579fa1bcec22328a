#pragma once
// Hints: the program's recommendation for each entry (compress, decompress, back up,
// restore or nothing), from its access counters, last access, state and size and the
// age of its drive's activity database.

#include <cstdint>

#include "activity/drive_record.h"
#include "scan/folder_info.h"

namespace platform { class System; }
namespace activity { struct AppState; }

namespace files {

inline constexpr std::uint8_t kHintNone = 0;
inline constexpr std::uint8_t kHintCompress = 1;
inline constexpr std::uint8_t kHintDecompress = 2;
inline constexpr std::uint8_t kHintBackUp = 4;
inline constexpr std::uint8_t kHintRestore = 8;

// Calendar days from the date of `earlier` to the date of `later` (both read as they
// are, local time; the time of day does not count). Negative when `earlier` lies after
// `later`; callers compare it unsigned, so that reads as very large.
std::int32_t DayCount(std::uint32_t later, std::uint32_t earlier);

class SharedKeys;

// What one drive's hints depend on besides the entry itself.
struct HintDrive {
  const activity::DriveRecord* record = nullptr;  // nullptr: the drive has no record
  std::uint32_t startupStamp = 0;                 // DOS date-time, local (as span starts
                                                  // and last accesses are)
  bool compressible = false;
  // The recorder watched the drive long enough for hints that rest on an absence of
  // accesses: "B" over its idle window, "C" over the span its read rate divides by.
  bool backUpCovered = true;
  bool compressCovered = true;
  // Keys several files of the drive share (names differing only in case): their record
  // mixes their uses, so it shows none of them idle. nullptr: not gathered.
  const SharedKeys* sharedKeys = nullptr;
};

class LinkGroups;

// The drive of `letter` as the shared state describes it.
HintDrive HintDriveOf(char letter, const activity::AppState& state);

// `links`: the drive's files with several links, which are hinted from all their links'
// records together (without it, such a file gets no hint). A file with no record of its
// own (files/record_doubt.h) gets no hint that rests on idleness: none for key 0, no B
// or C for a shared key.
std::uint8_t ComputeHint(const scan::CFolderInfo& folder, std::uint32_t i,
                         std::uint64_t clusterSize, const HintDrive& drive,
                         const LinkGroups* links = nullptr);
// The start-up stamp (UTC) as the local DOS date-time every other date is compared in.
std::uint32_t LocalStamp(std::uint32_t utcStamp);

// The same, with the drive found from the folder's path in the shared state.
std::uint8_t ComputeHint(const scan::CFolderInfo& folder, std::uint32_t i,
                         std::uint64_t clusterSize, const activity::AppState& state);

}  // namespace files
