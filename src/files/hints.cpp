#include "files/hints.h"

#include <optional>

#include "files/link_groups.h"
#include "platform/dos_time.h"
#include "platform/system.h"
#include "activity/app_state.h"
#include "files/hint_coverage.h"
#include "files/record_doubt.h"

namespace files {
namespace {

// Days since 1970-01-01 of a calendar date (proleptic Gregorian). Raw fields of a
// damaged value (month 0, 31 February) are counted on as plain arithmetic.
std::int64_t DaysFromCivil(const platform::SystemTime& date) {
  const std::int64_t month = date.month;
  const std::int64_t year = std::int64_t{date.year} - (month <= 2 ? 1 : 0);
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace

HintDrive HintDriveOf(char letter, const activity::AppState& state) {
  HintDrive drive;
  drive.startupStamp = LocalStamp(state.StartupStamp);
  if (letter < 'A' || letter > 'Z') return drive;
  const int index = state.driveTable.Find(static_cast<std::uint8_t>(letter - 64), activity::TableState::Old);
  if (index >= 0) drive.record = &state.driveTable.OldState()[static_cast<std::size_t>(index)];
  drive.compressible = state.CompressibleDrive[static_cast<std::size_t>(activity::DriveIndex(letter))];
  const DriveCoverage coverage = JudgeCoverage(state, letter);
  drive.backUpCovered = coverage.BackUpAllowed();
  drive.compressCovered = coverage.CompressAllowed();
  return drive;
}

namespace {

// What a hint is computed from: one entry's columns, or a file's links together.
struct HintBasis {
  std::uint8_t state;
  std::uint32_t readOnly;
  std::uint32_t writeOnly;
  std::uint32_t readWrite;
  std::uint32_t lastAccess;
  std::uint64_t size;
};

std::uint8_t HintFrom(const HintBasis& entry, std::uint64_t clusterSize, const HintDrive& drive);

// --- files that are not ordinary: other types, several links, shared data ----------
// Only regular files are hinted. A file with several links is hinted from its links
// together, and only when the records hold every one of them. Rewriting shared data
// unshares it, so such a file is never hinted to be compressed or decompressed.
std::uint8_t HintOfFileWithTraits(const scan::FileTraits& traits, const HintBasis& own, std::uint64_t clusterSize, const HintDrive& drive,
                                  const LinkGroups* links) {
  if (!traits.Regular()) return kHintNone;
  HintBasis basis = own;
  if (traits.SeveralLinks()) {
    const LinkedActivity* group = links != nullptr ? links->Find(traits) : nullptr;
    if (group == nullptr || !group->EveryLinkFound()) return kHintNone;
    basis.readOnly = group->readOnly;
    basis.writeOnly = group->writeOnly;
    basis.readWrite = group->readWrite;
    basis.lastAccess = group->lastAccess;
  }
  const std::uint8_t hint = HintFrom(basis, clusterSize, drive);
  // Backing up one name empties what every other name shows, so it is refused.
  if (traits.SeveralLinks() && hint == kHintBackUp) return kHintNone;
  const bool rewrites = hint == kHintCompress || hint == kHintDecompress;
  return traits.sharedData && rewrites ? kHintNone : hint;
}
// --- end of files that are not ordinary ---------------------------------------------

}  // namespace

std::uint32_t LocalStamp(std::uint32_t utcStamp) {
  const std::optional<std::int64_t> moment = platform::EpochFromUtcDosDateTime(utcStamp);
  return moment ? platform::DosDateTimeFromLocal(*moment) : utcStamp;
}

// A valid date-time converts to the very fields it packs and a damaged one keeps its raw
// fields, so the packed date is the calendar date: no clock conversion is needed, and
// none is made for each of millions of entries.
std::int32_t DayCount(std::uint32_t later, std::uint32_t earlier) {
  return static_cast<std::int32_t>(DaysFromCivil(platform::UnpackDosDateTime(later)) -
                                   DaysFromCivil(platform::UnpackDosDateTime(earlier)));
}

std::uint8_t ComputeHint(const scan::CFolderInfo& folder, std::uint32_t i,
                         std::uint64_t clusterSize, const HintDrive& drive, const LinkGroups* links) {
  const HintBasis own{folder.states()[i],     folder.readOnlyCounts()[i], folder.writeOnlyCounts()[i],
                      folder.readWriteCounts()[i], folder.lastAccess()[i],  folder.sizes()[i]};
  const scan::FileTraits* traits = folder.Traits(i);
  const std::uint8_t hint = traits != nullptr ? HintOfFileWithTraits(*traits, own, clusterSize, drive, links)
                                              : HintFrom(own, clusterSize, drive);
  // A folder's figures sum only what was read below it: until all of it was read they
  // would make a folder of unread files look idle.
  if (folder.IsFolder(i)) {
    const scan::CFolderInfo* contents = folder.GetChild(i);
    return contents != nullptr && contents->readState == scan::ReadState::ReadFully ? hint : kHintNone;
  }
  // --- files without a record of their own ------------------------------------------
  const std::uint64_t key = folder.keys()[i];
  if (key == 0) return kHintNone;
  const bool shared = drive.sharedKeys != nullptr && drive.sharedKeys->Holds(key);
  if (shared && (hint == kHintBackUp || hint == kHintCompress)) return kHintNone;
  // --- end of files without a record of their own -----------------------------------
  return hint;
}

namespace {

std::uint8_t HintFrom(const HintBasis& entry, std::uint64_t clusterSize, const HintDrive& drive) {
  if (drive.record == nullptr) return kHintNone;
  const std::uint32_t spanStart = drive.record->spanStart;
  // All three dates are local. A database that starts after the stamp (a clock set
  // back, a span moved ahead) has recorded nothing yet.
  if (spanStart > drive.startupStamp) return kHintNone;
  const auto span = static_cast<std::uint32_t>(DayCount(drive.startupStamp, spanStart));
  if (span < 3) return kHintNone;

  const std::uint8_t state = entry.state;
  const std::uint32_t readOnly = entry.readOnly;
  const std::uint32_t writeOnly = entry.writeOnly;
  const std::uint32_t readWrite = entry.readWrite;
  const bool busy = readOnly / span > 1 || writeOnly != 0 || readWrite != 0;
  if (busy) {
    if (state == scan::kStateCompressed) return kHintDecompress;
    if (state == scan::kStateBackedUp) return kHintRestore;
    return kHintNone;
  }

  // Not busy is an absence of reads: without the recorder watching the whole span it
  // proves nothing.
  std::uint8_t hint = (state != scan::kStateCompressed && state != scan::kStateBackedUp && drive.compressCovered)
                          ? kHintCompress
                          : kHintNone;
  const std::uint32_t reference = entry.lastAccess != 0 ? entry.lastAccess : spanStart;
  // A last access after the stamp is a use now, not one so far back that the day count
  // wraps round to "idle for ever" (which would recommend emptying the file).
  const std::uint32_t idle = reference > drive.startupStamp
                                 ? 0
                                 : static_cast<std::uint32_t>(DayCount(drive.startupStamp, reference));
  // Backing up an empty file frees nothing.
  if (idle >= kBackUpIdleDays && drive.backUpCovered && state != scan::kStateBackedUp && readOnly == 0 &&
      writeOnly == 0 && readWrite == 0 && entry.size != 0) {
    hint = kHintBackUp;
  } else if (entry.size < clusterSize && state == scan::kStateCompressed) {
    hint = kHintDecompress;
  }
  if (hint == kHintCompress && !drive.compressible) hint = kHintNone;
  return hint;
}

}  // namespace

std::uint8_t ComputeHint(const scan::CFolderInfo& folder, std::uint32_t i,
                         std::uint64_t clusterSize, const activity::AppState& state) {
  const std::string path = folder.path();
  return ComputeHint(folder, i, clusterSize, HintDriveOf(path.empty() ? '\0' : path[0], state));
}

}  // namespace files
