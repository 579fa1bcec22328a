#pragma once
// Data shared between files: reflink copies and snapshots on filesystems that share
// extents. Rewriting such data (compressing or decompressing it) gives the file a copy
// of its own, so the space used grows instead of shrinking.

#include <optional>

namespace platform {

// Whether the filesystem holding the open descriptor can share data between files:
// btrfs and XFS. Nothing else needs asking about single files.
bool CanShareData(int fd);

// Whether any extent of the open file is shared (FIEMAP_EXTENT_SHARED), as the
// filesystem has it on disk now: data not yet written out shares nothing. nullopt when
// the filesystem cannot tell.
std::optional<bool> HasSharedExtents(int fd);

}  // namespace platform
