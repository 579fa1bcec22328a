#pragma once
// Per-file compression where the filesystem really does it (btrfs).

#include <cerrno>
#include <string>

namespace platform {

// SetBtrfsCompression's errno for a file whose data is shared with another file or a
// snapshot: rewriting it would give it a copy of its own, so the space used would grow.
inline constexpr int kErrorSharedData = EXDEV;

// Compress: sets the file's compression flag and rewrites its data compressed
// (defragment-with-compression), then flushes it. Decompress: clears the flag, marks the
// file not to be compressed (so a compressing mount option cannot undo it), rewrites
// every compressed extent in place through the filesystem, flushes, and checks that no
// compressed extent is left. Because the rewrite reads and writes the data from here, it
// holds a write lease throughout: it is refused (false, errno EBUSY, nothing changed)
// while another process has the file open for writing, and stops, leaving the data as
// it is, as soon as one asks to open it. A folder only gets the flag, which files created in it
// later inherit. Any filesystem other than btrfs: false, nothing changed. A file any of
// whose data is shared (reflinks, snapshots): false, errno kErrorSharedData, nothing
// changed; asked on the descriptor the rewrite uses, just before it. Symbolic links
// are never followed.
bool SetBtrfsCompression(const std::string& hostPath, bool compress);
// The same on a file or folder already open (a file for reading and writing); its lease
// needs it to be the only descriptor this process holds of the file.
bool SetBtrfsCompressionOf(int fd, bool compress);

}  // namespace platform
