#include "platform/safe_copy.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <vector>

#include "platform/host_file.h"
#include "platform/unique_fd.h"
#include "platform/windows_path.h"

namespace platform {
namespace {

constexpr std::size_t kCopyBuffer = 1 << 20;

std::string BaseName(const std::string& hostPath) {
  const std::size_t slash = hostPath.rfind('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Creates a fresh temporary file in `dir`; fills `path` with its name.
UniqueFd CreateTemporary(const std::string& dir, const std::string& base, std::string& path) {
  std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
    path = dir + (dir == "/" ? "" : "/") + "." + base.substr(0, 200) + suffix;
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd{};
}

bool CopyData(int from, int to) {
  std::vector<char> buffer(kCopyBuffer);
  for (;;) {
    const std::int64_t count = ReadFully(from, buffer.data(), buffer.size());
    if (count < 0) return false;
    if (count == 0) return true;
    if (!WriteFully(to, buffer.data(), static_cast<std::size_t>(count))) return false;
    if (static_cast<std::size_t>(count) < buffer.size()) return true;
  }
}

// The DOS bits travel with the copy; a filesystem without extended attributes drops them.
void CopyDosBits(int from, int to) {
  char value[256];
  const ssize_t size = ::fgetxattr(from, "user.DOSATTRIB", value, sizeof value);
  if (size > 0) ::fsetxattr(to, "user.DOSATTRIB", value, static_cast<std::size_t>(size), 0);
}

// Moves the finished temporary file onto the target; with failIfExists never replaces one.
bool Publish(const std::string& temporary, const std::string& target, bool failIfExists) {
  if (!failIfExists) return ::rename(temporary.c_str(), target.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // Filesystems without RENAME_NOREPLACE: link() also refuses an existing name.
  if (::link(temporary.c_str(), target.c_str()) != 0) return false;
  ::unlink(temporary.c_str());
  return true;
}

}  // namespace

bool SyncDirectory(const std::string& hostDir) {
  const UniqueFd fd(::open(hostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd && ::fsync(fd.Get()) == 0;
}

bool SafeCopyFile(const std::string& fromHost, const std::string& toHost, bool failIfExists) {
  const UniqueFd source(::open(fromHost.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!source) return false;
  struct stat from {};
  if (::fstat(source.Get(), &from) != 0) return false;
  if (!S_ISREG(from.st_mode)) {
    errno = S_ISDIR(from.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  struct stat existing {};
  if (::stat(toHost.c_str(), &existing) == 0) {
    if (existing.st_dev == from.st_dev && existing.st_ino == from.st_ino) {
      errno = EINVAL;  // a file copied onto itself would be emptied
      return false;
    }
    if (failIfExists) {
      errno = EEXIST;
      return false;
    }
    if (S_ISDIR(existing.st_mode)) {
      errno = EISDIR;
      return false;
    }
  } else if (errno != ENOENT) {
    return false;
  }

  const std::string dir = HostParent(toHost);
  std::string temporary;
  UniqueFd target = CreateTemporary(dir, BaseName(toHost), temporary);
  if (!target) return false;
  const auto fail = [&temporary]() {
    const int saved = errno;
    ::unlink(temporary.c_str());
    errno = saved;
    return false;
  };
  if (!CopyData(source.Get(), target.Get())) return fail();
  CopyDosBits(source.Get(), target.Get());
  const struct timespec times[2] = {from.st_atim, from.st_mtim};
  if (::fchmod(target.Get(), from.st_mode & 07777) != 0) return fail();
  if (::futimens(target.Get(), times) != 0) return fail();
  if (::fsync(target.Get()) != 0) return fail();
  if (!target.Close()) return fail();
  if (!Publish(temporary, toHost, failIfExists)) return fail();
  // The copy counts once its name is on the disk too: a source emptied on the strength of
  // a copy whose folder entry a crash then loses would be lost with it.
  if (!SyncDirectory(dir)) {
    const int saved = errno;
    if (failIfExists) ::unlink(toHost.c_str());  // the name was ours alone; no copy is kept
    errno = saved;
    return false;
  }
  return true;
}

}  // namespace platform
