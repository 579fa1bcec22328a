#pragma once
// The drive map a run takes when none is given: C: the state folder, and from D: on the
// machine's own filesystems (platform/mount_choice.h) under the letters kept for them in
// the state folder (platform/drive_letters.h). The program and the recorder both build
// it, so both count under the same letters.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_letters.h"
#include "platform/drive_map.h"
#include "platform/mapped_letters.h"
#include "platform/mount_choice.h"

namespace platform {

struct DefaultDrives {
  DriveMap map;                         // C: and the drives present
  std::vector<LetteredDrive> drives;    // D: on, absent ones too
  std::vector<LeftOutMount> leftOut;
  // Why the kept letters could not be read or kept ("" when they were): the letters
  // then hold for this run only.
  std::string problem;
  // The letters to keep, when they changed and could be kept.
  std::optional<std::string> lettersToSave;
  // Every drive, while the kept letters cannot be read: the letters of this run may
  // stand for other filesystems than those of the records kept for them.
  DriveChanges changes;
};

// From the texts of the mountinfo and of the kept letters (empty when none are kept yet).
DefaultDrives BuildDefaultDrives(const std::string& stateDir, std::string_view mountInfo,
                                 const IdentityLookup& identityOf, std::string_view savedLetters);

// The same from the host's mountinfo, its disks' UUIDs and the letters file in
// `stateDir`, which it writes back when a letter was given out (if the folder exists).
DefaultDrives ReadDefaultDrives(const std::string& stateDir,
                                const std::string& mountInfoFile = "/proc/self/mountinfo");

// A map given by hand, held to the letters kept in `stateDir` (platform/mapped_letters.h)
// with each folder's filesystem as mountinfo tells it now; the letters file is written
// back when the map gave out a letter (if the folder exists).
struct GivenDrives {
  DriveChanges changes;
  DriveIdentityTexts identities;
};
GivenDrives CheckGivenDrives(const std::string& stateDir, const DriveMap& map,
                             const std::string& mountInfoFile = "/proc/self/mountinfo");

}  // namespace platform
