#pragma once
// A copy that never leaves a half-written target: the data goes to a temporary file
// beside the target, is flushed to disk with the source's owner, mode, extended
// attributes, times and holes, and is then renamed into place and the folder flushed.
// A failed flush fails the copy (a new target is then removed again).

#include <string>

#include "platform/system.h"

namespace platform {

// Copies the open regular file `source` to `name` in the open folder `folder`. Refuses a
// target that is the source itself (same inode), a folder, and, with failIfExists, any
// existing target; refuses, with the reason, a name that another spelling answers to on
// a drive that does not tell case apart, a file FAT cannot hold, and a target that
// cannot hold what matters of the file (see metadata_copy.h). Data is read and written,
// never shared with the source (no reflink), so the copy is a real second copy. Sets
// errno on failure.
StepResult SafeCopyInto(int source, int folder, const std::string& name, bool failIfExists);

// SafeCopyInto by host paths, refusing a source that is a symbolic link.
bool SafeCopyFile(const std::string& fromHost, const std::string& toHost, bool failIfExists);

// Flushes a folder's entries (after a rename or create inside it).
bool SyncDirectory(const std::string& hostDir);

}  // namespace platform
