#include "platform/btrfs_compression.h"

#include <fcntl.h>
#include <linux/btrfs.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/btrfs_extents.h"
#include "platform/shared_extents.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

constexpr std::uint32_t kCompressZstd = 3;
constexpr std::size_t kRewriteChunk = 1 << 20;

bool SetFlags(int fd, int flags) { return ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0; }

bool IsMarkedCompressed(int fd) {
  struct statx info {};
  return ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS, &info) == 0 &&
         (info.stx_attributes & STATX_ATTR_COMPRESSED) != 0;
}

bool DefragmentCompressed(int fd) {
  struct btrfs_ioctl_defrag_range_args args {};
  args.start = 0;
  args.len = ~0ULL;
  args.flags = BTRFS_DEFRAG_RANGE_COMPRESS | BTRFS_DEFRAG_RANGE_START_IO;
  args.compress_type = kCompressZstd;
  if (::ioctl(fd, BTRFS_IOC_DEFRAG_RANGE, &args) == 0) return true;
  if (errno != EINVAL) return false;
  args.compress_type = 0;  // a kernel without zstd: its default method
  return ::ioctl(fd, BTRFS_IOC_DEFRAG_RANGE, &args) == 0;
}

// A write lease on an open file for as long as it lives. The kernel grants it only when
// no other open file (in any process) may write to the file, and makes every later open
// elsewhere wait until the lease is given back or has been held for the lease-break time
// (45 s by default); so while it is unbroken nobody else can write to the file.
class WriteLease {
 public:
  explicit WriteLease(int fd) : fd_(fd) {
    // A break is announced by a signal; SIGIO would end the process, SIGURG is ignored
    // unless handled. The holder looks at the lease itself between steps instead.
    held_ = ::fcntl(fd_, F_SETSIG, SIGURG) == 0 && ::fcntl(fd_, F_SETLEASE, F_WRLCK) == 0;
    if (!held_ && errno == EAGAIN) errno = EBUSY;  // open elsewhere
  }
  ~WriteLease() {
    if (held_) ::fcntl(fd_, F_SETLEASE, F_UNLCK);
  }
  WriteLease(const WriteLease&) = delete;
  WriteLease& operator=(const WriteLease&) = delete;

  // False once another process has asked to open the file: the lease is being broken, and
  // its holder must stop writing and let go.
  bool Unbroken() const { return held_ && ::fcntl(fd_, F_GETLEASE) == F_WRLCK; }

 private:
  int fd_;
  bool held_ = false;
};

// Writes the bytes of each range back where they are; with compression off for the file
// the filesystem stores the new copy plainly. The data itself never changes. Each chunk
// is read and written back only while the lease is unbroken, so no write made elsewhere
// can fall between its read and its write back.
bool RewriteInPlace(int fd, const std::vector<FileExtent>& ranges, const WriteLease& lease) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  std::vector<char> buffer(kRewriteChunk);
  for (const FileExtent& range : ranges) {
    if (!range.Compressed()) continue;
    const std::uint64_t end = std::min(range.logical + range.length, size);
    for (std::uint64_t offset = range.logical; offset < end;) {
      if (!lease.Unbroken()) {
        errno = EBUSY;
        return false;
      }
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - offset));
      const ssize_t got = ::pread(fd, buffer.data(), want, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      for (ssize_t written = 0; written < got;) {
        const ssize_t count = ::pwrite(fd, buffer.data() + written, static_cast<std::size_t>(got - written),
                                       static_cast<off_t>(offset) + written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += count;
      }
      offset += static_cast<std::uint64_t>(got);
    }
  }
  return ::fsync(fd) == 0;
}

bool Decompress(int fd, const WriteLease& lease) {
  const auto extents = ReadFileExtents(fd, true);
  if (!extents || !RewriteInPlace(fd, *extents, lease)) return false;
  const auto left = HasCompressedExtents(fd);
  return left.has_value() && !*left;
}

}  // namespace

bool SetBtrfsCompression(const std::string& hostPath, bool compress) {
  // The type is looked at before anything is opened: opening a device runs its driver.
  struct stat info {};
  if (::lstat(hostPath.c_str(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    errno = EINVAL;
    return false;
  }
  const int access = S_ISDIR(info.st_mode) ? O_RDONLY | O_DIRECTORY : O_RDWR;
  const UniqueFd fd(::open(hostPath.c_str(), access | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat again {};
  if (!fd || ::fstat(fd.Get(), &again) != 0 || again.st_ino != info.st_ino || again.st_dev != info.st_dev) {
    return false;
  }
  return SetBtrfsCompressionOf(fd.Get(), compress);
}

bool SetBtrfsCompressionOf(int fd, bool compress) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return false;
  if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
    errno = EINVAL;
    return false;
  }
  if (!IsOnBtrfs(fd)) {
    errno = EOPNOTSUPP;
    return false;
  }
  // Asked on the descriptor the rewrite uses, just before it: rewriting shared data gives
  // this file a copy of its own, so the space used would grow.
  if (S_ISREG(info.st_mode) && HasSharedExtents(fd).value_or(false)) {
    errno = kErrorSharedData;
    return false;
  }
  // Decompression rewrites the data from this process; it is refused while the file is
  // open for writing elsewhere, and the lease is held until the rewrite is flushed.
  // Compression rewrites inside the filesystem, which orders it with other writers.
  std::optional<WriteLease> lease;
  if (!compress && !S_ISDIR(info.st_mode)) {
    lease.emplace(fd);
    if (!lease->Unbroken()) return false;
  }

  int oldFlags = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &oldFlags) != 0) return false;
  int flags = oldFlags;
  if (compress) {
    flags = (flags | FS_COMPR_FL) & ~FS_NOCOMP_FL;
  } else {
    flags &= ~FS_COMPR_FL;
    if (!S_ISDIR(info.st_mode)) flags |= FS_NOCOMP_FL;
  }
  if (flags != oldFlags && !SetFlags(fd, flags)) return false;
  if (S_ISDIR(info.st_mode)) return true;

  const bool done = compress
                        ? DefragmentCompressed(fd) && ::fsync(fd) == 0 && IsMarkedCompressed(fd)
                        : Decompress(fd, *lease);
  if (!done) {
    const int saved = errno;
    SetFlags(fd, oldFlags);
    errno = saved;
  }
  return done;
}

}  // namespace platform
