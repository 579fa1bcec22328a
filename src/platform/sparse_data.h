#pragma once
// Copies a file's data and nothing of its holes: a 1 GB file holding 10 MB of data takes
// 10 MB on the target, and comes back just as sparse.

#include <cstdint>

namespace platform {

// Writes every data range of `from` to the same offsets of `to` and gives `to` the
// length of `from`. `to` should hold no data yet (new, or emptied). Sets errno on failure.
bool CopyDataKeepingHoles(int from, int to);

// Bytes `from` takes on its disk: what a copy of it needs at least.
std::uint64_t AllocatedBytes(int fd);

// Bytes the filesystem holding `fd` still gives to this process.
std::uint64_t FreeBytes(int fd);

}  // namespace platform
