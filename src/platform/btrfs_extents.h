#pragma once
// How many bytes a file's data really takes on disk on btrfs, where st_blocks counts
// compressed data at its uncompressed size.

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

inline constexpr long kBtrfsMagic = 0x9123683E;

struct FileExtent {
  std::uint64_t logical;   // offset in the file
  std::uint64_t physical;  // where it starts on the device
  std::uint64_t length;    // bytes of the file it holds
  std::uint32_t flags;     // FIEMAP_EXTENT_*
  bool Compressed() const;
};

// Every extent of the file in file order (FIEMAP); `flushFirst` writes pending data out so
// that the extents describe what is on disk. nullopt when the filesystem cannot tell.
std::optional<std::vector<FileExtent>> ReadFileExtents(int fd, bool flushFirst);

// True when the open file lives on btrfs.
bool IsOnBtrfs(int fd);

// Exact: sums the on-disk size of every extent the file references, each shared extent
// once, read from the filesystem tree (BTRFS_IOC_TREE_SEARCH_V2, as compsize does).
// nullopt when the search is not permitted (it needs CAP_SYS_ADMIN) or fails.
std::optional<std::uint64_t> BtrfsExtentDiskBytes(int fd, std::uint64_t inode);

// Unprivileged estimate from FIEMAP: plain extents count their length; a compressed
// extent counts the distance to the next of the file's extents on disk when that is
// shorter than its length, and the others the average ratio of those measured.
std::optional<std::uint64_t> FiemapDiskBytesEstimate(int fd);

// Whether any extent of the file is stored compressed (FIEMAP_EXTENT_ENCODED); flushes
// the file's pending writes first so that the answer describes the data on disk.
std::optional<bool> HasCompressedExtents(int fd);

// The exact figure when permitted, else the estimate.
std::optional<std::uint64_t> CompressedDiskBytes(int fd, std::uint64_t inode);

}  // namespace platform
