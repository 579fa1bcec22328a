#include "platform/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::int64_t ReadFully(int fd, void* buffer, std::size_t size) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t count = ::read(fd, out + done, size - done);
    if (count < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (count == 0) break;
    done += static_cast<std::size_t>(count);
  }
  return static_cast<std::int64_t>(done);
}

bool WriteFully(int fd, const void* data, std::size_t size) {
  const auto* in = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t count = ::write(fd, in, size);
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (count == 0) {
      errno = ENOSPC;
      return false;
    }
    in += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

std::int64_t HostFile::Read(void* buffer, std::size_t size) {
  if (!fd_) return -1;
  return ReadFully(fd_.Get(), buffer, size);
}

bool HostFile::Write(const void* data, std::size_t size) {
  return fd_ && WriteFully(fd_.Get(), data, size);
}

bool HostFile::Seek(std::uint64_t offset) {
  return fd_ && ::lseek(fd_.Get(), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool HostFile::Truncate(std::uint64_t length) {
  return fd_ && ::ftruncate(fd_.Get(), static_cast<off_t>(length)) == 0;
}

std::optional<std::uint64_t> HostFile::Length() {
  struct stat info {};
  if (!fd_ || ::fstat(fd_.Get(), &info) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

bool HostFile::Flush() { return fd_ && ::fsync(fd_.Get()) == 0; }

bool HostFile::Close() { return fd_.Close(); }

std::unique_ptr<File> OpenHostFile(const std::string& hostPath, const OpenOptions& options) {
  // Truncating is writing, whatever the caller asked for.
  const bool write = options.write || options.mode == OpenMode::CreateAlways;
  int flags = (write ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  if (options.mode == OpenMode::OpenAlways) flags |= O_CREAT;
  if (options.mode == OpenMode::CreateAlways) flags |= O_CREAT | O_TRUNC;
  if (options.noFollow) flags |= O_NOFOLLOW;

  UniqueFd fd(::open(hostPath.c_str(), flags, 0666));
  if (!fd) return nullptr;
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) return nullptr;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  // O_NONBLOCK only kept the open from hanging on a pipe; regular files do not need it.
  const int status = ::fcntl(fd.Get(), F_GETFL);
  if (status >= 0) ::fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK);
  return std::make_unique<HostFile>(std::move(fd));
}

}  // namespace platform

