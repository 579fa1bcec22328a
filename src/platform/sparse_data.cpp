#include "platform/sparse_data.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kChunk = 1 << 20;

bool CopyRange(int from, int to, std::uint64_t begin, std::uint64_t end, std::vector<char>& buffer) {
  for (std::uint64_t offset = begin; offset < end;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), end - offset));
    const ssize_t got = ::pread(from, buffer.data(), want, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;  // shorter than it was: the length below says the rest
    for (ssize_t written = 0; written < got;) {
      const ssize_t count = ::pwrite(to, buffer.data() + written, static_cast<std::size_t>(got - written),
                                     static_cast<off_t>(offset) + written);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) {
        if (count == 0) errno = ENOSPC;
        return false;
      }
      written += count;
    }
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace

bool CopyDataKeepingHoles(int from, int to) {
  struct stat info {};
  if (::fstat(from, &info) != 0) return false;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  std::vector<char> buffer(kChunk);
  for (std::uint64_t offset = 0; offset < size;) {
    const off_t data = ::lseek(from, static_cast<off_t>(offset), SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      // A filesystem that cannot tell holes: the rest is copied as data.
      if (!CopyRange(from, to, offset, size, buffer)) return false;
      break;
    }
    off_t hole = ::lseek(from, data, SEEK_HOLE);
    if (hole < 0) hole = static_cast<off_t>(size);
    if (!CopyRange(from, to, static_cast<std::uint64_t>(data), static_cast<std::uint64_t>(hole), buffer)) {
      return false;
    }
    offset = static_cast<std::uint64_t>(hole);
  }
  return ::ftruncate(to, static_cast<off_t>(size)) == 0;
}

std::uint64_t AllocatedBytes(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

std::uint64_t FreeBytes(int fd) {
  struct statvfs info {};
  if (::fstatvfs(fd, &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace platform
