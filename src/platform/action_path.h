#pragma once
// The folder an action works in, reached from its drive's root without following a link
// or entering another filesystem, so that a link planted on the way (or swapped in
// later) can carry no copy, mark or truncation off the drive.

#include <string>

#include "platform/drive_identity.h"
#include "platform/unique_fd.h"

namespace platform {

struct ActionPlace {
  UniqueFd folder;   // the folder that holds the file, open
  std::string name;  // the file's name in it (one component; empty for the root itself)
  std::string host;  // the file's host path, for messages
};

// Opens the folder holding `hostPath`, a path at or below `drive`'s root, after checking
// the drive is the filesystem it was. An invalid folder with the reason in `why`
// otherwise.
ActionPlace OpenActionPlace(const DriveIdentities& identities, const MappedDrive& drive,
                            const std::string& hostPath, std::string* why);

}  // namespace platform
