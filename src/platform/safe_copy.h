#pragma once
// A copy that never leaves a half-written target: the data goes to a temporary file
// beside the target, is flushed to disk with the source's mode, times and DOS bits, and
// is then renamed into place and the folder flushed. A failed flush fails the copy (a
// new target is then removed again).

#include <string>

namespace platform {

// Refuses a source that is not a regular file or is a symbolic link, a target that is the
// source itself (same inode, whatever the path), a target that is a folder, and, with
// failIfExists, any existing target. Data is read and written, never shared with the
// source (no reflink), so the copy is a real second copy. Sets errno on failure.
bool SafeCopyFile(const std::string& fromHost, const std::string& toHost, bool failIfExists);

// Flushes a folder's entries (after a rename or create inside it).
bool SyncDirectory(const std::string& hostDir);

}  // namespace platform
