#pragma once
// The drive letters a state folder gave out, each kept with the identity of its
// filesystem: the default map's letters (a filesystem keeps its letter while it is away
// and gets it back when it returns) and those of maps given by hand, so that neither the
// records nor the recorder's counts land on another disk.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mount_choice.h"

namespace platform {

inline constexpr const char* kDriveLettersFile = "drive-letters";

struct LetterAssignment {
  char letter = 0;        // 'A'..'Z' but 'C', which is the state folder's
  std::string identity;   // ChosenFilesystem::identity
  std::string lastRoot;   // where it was mounted when last seen
};

struct SavedLetters {
  std::vector<LetterAssignment> letters;
  std::string damage;  // why the text was refused; "" when it was read
};

// One line per letter: letter, identity and last mount point, separated by tabs; tabs,
// newlines and backslashes in them written as three-digit octal escapes ("\011").
SavedLetters ParseDriveLetters(std::string_view text);
std::string FormatDriveLetters(const std::vector<LetterAssignment>& letters);

struct LetteredDrive {
  char letter = 0;
  std::string identity;
  std::string root;      // the mount point now, or the last one when absent
  bool present = false;  // mounted now
};

struct LetterOutcome {
  std::vector<LetteredDrive> drives;        // in letter order
  std::vector<LetterAssignment> letters;    // what to keep, in letter order
  bool changed = false;                     // `letters` differs from the saved ones
  std::vector<std::size_t> withoutLetter;   // indexes into `chosen`: D: to Z: were taken
};

// A chosen filesystem gets its saved letter (the first, where a map given by hand kept
// several for it), else the first letter from D: on that no
// other filesystem holds, present or not.
LetterOutcome AssignLetters(const std::vector<ChosenFilesystem>& chosen, const std::vector<LetterAssignment>& saved);

}  // namespace platform
