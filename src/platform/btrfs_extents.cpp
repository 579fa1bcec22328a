#include "platform/btrfs_extents.h"

#include <linux/btrfs.h>
#include <linux/btrfs_tree.h>
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_set>
#include <vector>

namespace platform {
namespace {

std::uint64_t LoadLe64(const unsigned char* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

// Layout of struct btrfs_file_extent_item (packed, little-endian).
constexpr std::size_t kExtentTypeOffset = 20;
constexpr std::size_t kInlineDataOffset = 21;
constexpr std::size_t kDiskBytenrOffset = 21;
constexpr std::size_t kDiskNumBytesOffset = 29;
constexpr std::size_t kRegularExtentItemSize = 53;

constexpr std::uint64_t kBlock = 4096;
std::uint64_t RoundUpToBlock(std::uint64_t bytes) { return (bytes + kBlock - 1) / kBlock * kBlock; }

}  // namespace

bool FileExtent::Compressed() const { return (flags & FIEMAP_EXTENT_ENCODED) != 0; }

std::optional<std::vector<FileExtent>> ReadFileExtents(int fd, bool flushFirst) {
  constexpr std::uint32_t kBatch = 256;
  std::vector<unsigned char> buffer(sizeof(struct fiemap) + kBatch * sizeof(struct fiemap_extent));
  std::vector<FileExtent> extents;
  std::uint64_t start = 0;
  bool last = false;
  while (!last) {
    std::fill(buffer.begin(), buffer.end(), 0);
    auto* map = reinterpret_cast<struct fiemap*>(buffer.data());
    map->fm_start = start;
    map->fm_length = FIEMAP_MAX_OFFSET - start;
    map->fm_flags = flushFirst ? FIEMAP_FLAG_SYNC : 0;
    map->fm_extent_count = kBatch;
    if (::ioctl(fd, FS_IOC_FIEMAP, map) != 0) return std::nullopt;
    if (map->fm_mapped_extents == 0) break;
    for (std::uint32_t i = 0; i < map->fm_mapped_extents; ++i) {
      const struct fiemap_extent& e = map->fm_extents[i];
      extents.push_back({e.fe_logical, e.fe_physical, e.fe_length, e.fe_flags});
      if ((e.fe_flags & FIEMAP_EXTENT_LAST) != 0) last = true;
      start = e.fe_logical + e.fe_length;
    }
    flushFirst = false;
  }
  return extents;
}

bool IsOnBtrfs(int fd) {
  struct statfs info {};
  return ::fstatfs(fd, &info) == 0 && static_cast<long>(info.f_type) == kBtrfsMagic;
}

std::optional<std::uint64_t> BtrfsExtentDiskBytes(int fd, std::uint64_t inode) {
  constexpr std::size_t kBufferSize = 64 * 1024;
  std::vector<std::uint64_t> storage(
      (sizeof(struct btrfs_ioctl_search_args_v2) + kBufferSize) / sizeof(std::uint64_t) + 1);
  auto* args = reinterpret_cast<struct btrfs_ioctl_search_args_v2*>(storage.data());

  std::unordered_set<std::uint64_t> counted;
  std::uint64_t diskBytes = 0;
  std::uint64_t nextOffset = 0;
  for (;;) {
    std::memset(args, 0, sizeof *args);
    struct btrfs_ioctl_search_key& key = args->key;
    key.tree_id = 0;  // the subvolume that holds `fd`
    key.min_objectid = key.max_objectid = inode;
    key.min_type = key.max_type = BTRFS_EXTENT_DATA_KEY;
    key.min_offset = nextOffset;
    key.max_offset = ~0ULL;
    key.max_transid = ~0ULL;
    key.nr_items = 4096;
    args->buf_size = kBufferSize;
    if (::ioctl(fd, BTRFS_IOC_TREE_SEARCH_V2, args) != 0) return std::nullopt;
    if (key.nr_items == 0) break;

    const auto* cursor = reinterpret_cast<const unsigned char*>(args->buf);
    std::uint64_t lastOffset = 0;
    for (std::uint32_t i = 0; i < key.nr_items; ++i) {
      struct btrfs_ioctl_search_header header {};
      std::memcpy(&header, cursor, sizeof header);
      const unsigned char* item = cursor + sizeof header;
      cursor = item + header.len;
      lastOffset = header.offset;
      if (header.objectid != inode || header.type != BTRFS_EXTENT_DATA_KEY) continue;
      if (header.len <= kExtentTypeOffset) continue;
      if (item[kExtentTypeOffset] == BTRFS_FILE_EXTENT_INLINE) {
        diskBytes += header.len - kInlineDataOffset;
      } else if (header.len >= kRegularExtentItemSize) {
        const std::uint64_t bytenr = LoadLe64(item + kDiskBytenrOffset);
        // bytenr 0 is a hole; an extent referenced from several places takes its space once.
        if (bytenr != 0 && counted.insert(bytenr).second) {
          diskBytes += LoadLe64(item + kDiskNumBytesOffset);
        }
      }
    }
    if (lastOffset == ~0ULL) break;
    nextOffset = lastOffset + 1;
  }
  return diskBytes;
}

std::optional<std::uint64_t> FiemapDiskBytesEstimate(int fd) {
  const auto extents = ReadFileExtents(fd, true);
  if (!extents) return std::nullopt;

  // Compressed extents by their start on disk, with the longest logical length using each.
  std::map<std::uint64_t, std::uint64_t> compressed;
  std::vector<std::uint64_t> starts;
  std::uint64_t plainBytes = 0;
  for (const FileExtent& extent : *extents) {
    if ((extent.flags & FIEMAP_EXTENT_UNKNOWN) != 0) continue;
    if ((extent.flags & FIEMAP_EXTENT_DATA_INLINE) != 0) {
      plainBytes += extent.length;
      continue;
    }
    starts.push_back(extent.physical);
    if (extent.Compressed()) {
      auto& length = compressed[extent.physical];
      length = std::max(length, extent.length);
    } else {
      plainBytes += extent.length;
    }
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

  std::uint64_t measuredDisk = 0;
  std::uint64_t measuredLogical = 0;
  std::uint64_t unmeasuredLogical = 0;
  for (const auto& [physical, logical] : compressed) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), physical);
    if (next != starts.end() && *next - physical < logical) {
      measuredDisk += *next - physical;
      measuredLogical += logical;
    } else {
      unmeasuredLogical += logical;
    }
  }
  std::uint64_t estimate = measuredDisk;
  if (unmeasuredLogical != 0) {
    estimate += measuredLogical == 0
                    ? unmeasuredLogical
                    : RoundUpToBlock(static_cast<std::uint64_t>(
                          static_cast<long double>(unmeasuredLogical) * measuredDisk /
                          measuredLogical));
  }
  return plainBytes + estimate;
}

std::optional<bool> HasCompressedExtents(int fd) {
  const auto extents = ReadFileExtents(fd, true);
  if (!extents) return std::nullopt;
  return std::any_of(extents->begin(), extents->end(),
                     [](const FileExtent& extent) { return extent.Compressed(); });
}

std::optional<std::uint64_t> CompressedDiskBytes(int fd, std::uint64_t inode) {
  if (auto exact = BtrfsExtentDiskBytes(fd, inode)) return exact;
  return FiemapDiskBytesEstimate(fd);
}

}  // namespace platform
