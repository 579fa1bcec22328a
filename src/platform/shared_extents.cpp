#include "platform/shared_extents.h"

#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/btrfs_extents.h"

namespace platform {
namespace {

constexpr long kXfsMagic = 0x58465342;

}  // namespace

bool CanShareData(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  const long type = static_cast<long>(info.f_type);
  return type == kBtrfsMagic || type == kXfsMagic;
}

std::optional<bool> HasSharedExtents(int fd) {
  // Most files have a few extents: one small batch answers at once, and the first
  // shared extent ends the search.
  constexpr std::uint32_t kBatch = 32;
  alignas(struct fiemap) std::array<unsigned char, sizeof(struct fiemap) + kBatch * sizeof(struct fiemap_extent)> buffer;
  auto* map = reinterpret_cast<struct fiemap*>(buffer.data());
  std::uint64_t start = 0;
  for (;;) {
    std::memset(buffer.data(), 0, buffer.size());
    map->fm_start = start;
    map->fm_length = FIEMAP_MAX_OFFSET - start;
    map->fm_extent_count = kBatch;
    if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0) return std::nullopt;
    const std::uint32_t count = map->fm_mapped_extents;
    if (count == 0) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
      const struct fiemap_extent& extent = map->fm_extents[i];
      if ((extent.fe_flags & FIEMAP_EXTENT_SHARED) != 0) return true;
      if ((extent.fe_flags & FIEMAP_EXTENT_LAST) != 0) return false;
      start = extent.fe_logical + extent.fe_length;
    }
  }
}

}  // namespace platform
