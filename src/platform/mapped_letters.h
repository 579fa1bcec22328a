#pragma once
// A drive letter stands for one filesystem for good: what was kept for it (its database
// record, hand-off entries, back-up copies) belongs to that filesystem. A map given by
// hand is held to the filesystems the state folder kept for its letters, and keeps the
// letters it is the first to give out.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/drive_letters.h"
#include "platform/drive_map.h"

namespace platform {

// Per letter A..Z: why what was kept for the letter must not be applied to the drive it
// names now; "" when nothing stands against it.
using DriveChanges = std::array<std::string, 26>;
// Per letter A..Z: the identity of the drive's filesystem; "" where none was told.
using DriveIdentityTexts = std::array<std::string, 26>;

struct MappedLetters {
  DriveChanges changes;
  DriveIdentityTexts identities;
  std::optional<std::vector<LetterAssignment>> lettersToKeep;  // when they changed
};

// The identity (ChosenFilesystem::identity) of a mapped drive's filesystem now; nullopt
// where it cannot be told (a missing folder), which leaves the letter unchecked and
// unkept. C: holds the drive table itself and is neither checked nor kept.
using DriveIdentityNow = std::function<std::optional<std::string>(const MappedDrive&)>;

MappedLetters CheckMappedLetters(const DriveMap& map, const DriveIdentityNow& identityNow,
                                 const std::vector<LetterAssignment>& saved);

// Every drive of `map` but C: refused for `why` (the kept letters cannot be read).
DriveChanges AllDrivesDoubted(const DriveMap& map, const std::string& why);

}  // namespace platform
