#include "platform/mapped_letters.h"

#include <algorithm>

#include "platform/drive_identity.h"

namespace platform {
namespace {

std::size_t IndexOf(char letter) { return static_cast<std::size_t>(letter - 'A'); }

}  // namespace

MappedLetters CheckMappedLetters(const DriveMap& map, const DriveIdentityNow& identityNow,
                                 const std::vector<LetterAssignment>& saved) {
  MappedLetters result;
  std::vector<LetterAssignment> letters = saved;
  bool changed = false;
  for (const MappedDrive& drive : map.All()) {
    if (drive.letter == 'C') continue;
    const std::optional<std::string> now = identityNow(drive);
    if (!now) continue;
    result.identities[IndexOf(drive.letter)] = *now;
    const auto kept = std::find_if(letters.begin(), letters.end(),
                                   [&](const LetterAssignment& a) { return a.letter == drive.letter; });
    if (kept == letters.end()) {
      letters.push_back({drive.letter, *now, drive.root});
      changed = true;
    } else if (kept->identity != *now) {
      result.changes[IndexOf(drive.letter)] = DriveName(drive) + " is not the filesystem " + drive.letter +
                                              ": stood for before (" + kept->identity + ", last at " +
                                              kept->lastRoot + ")";
    } else if (kept->lastRoot != drive.root) {
      kept->lastRoot = drive.root;
      changed = true;
    }
  }
  if (changed) {
    std::sort(letters.begin(), letters.end(),
              [](const LetterAssignment& a, const LetterAssignment& b) { return a.letter < b.letter; });
    result.lettersToKeep = std::move(letters);
  }
  return result;
}

DriveChanges AllDrivesDoubted(const DriveMap& map, const std::string& why) {
  DriveChanges changes;
  for (const MappedDrive& drive : map.All()) {
    if (drive.letter != 'C') changes[IndexOf(drive.letter)] = DriveName(drive) + ": " + why;
  }
  return changes;
}

}  // namespace platform
