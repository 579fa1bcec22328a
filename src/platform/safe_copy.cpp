#include "platform/safe_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/metadata_copy.h"
#include "platform/sparse_data.h"
#include "platform/unique_fd.h"
#include "platform/windows_path.h"

namespace platform {
namespace {

constexpr std::uint64_t kFatLargestFile = 0xFFFFFFFFull;

StepResult Failed() { return StepResult{}; }

// Creates a fresh temporary file in `folder`; fills `name` with its name.
UniqueFd CreateTemporary(int folder, const std::string& base, std::string& name) {
  std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFULL));
    name = "." + base.substr(0, 200) + suffix;
    UniqueFd fd(::openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd || errno != EEXIST) return fd;
  }
  return UniqueFd{};
}

// Moves the finished temporary file onto `name`; with failIfExists never replaces one.
bool Publish(int folder, const std::string& temporary, const std::string& name, bool failIfExists) {
  if (!failIfExists) return ::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0;
  if (::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // Filesystems without RENAME_NOREPLACE: link() also refuses an existing name.
  if (::linkat(folder, temporary.c_str(), folder, name.c_str(), 0) == 0) {
    ::unlinkat(folder, temporary.c_str(), 0);
    return true;
  }
  if (errno == EEXIST) return false;
  // Nor links (FAT, exFAT): the name is claimed with an exclusive create, and the copy
  // then replaces the empty file claimed.
  const UniqueFd claimed(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!claimed) return false;
  return ::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0;
}

// Whether `folder` lists exactly `name`; on a filesystem that does not tell upper and
// lower case apart another spelling may be what answers to it.
bool ListsExactly(int folder, const std::string& name, std::string* twin) {
  DIR* listing = ::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
  if (listing == nullptr) return true;  // cannot tell: taken as itself
  bool exact = false;
  while (const dirent* entry = ::readdir(listing)) {
    if (name == entry->d_name) {
      exact = true;
      break;
    }
    if (::strcasecmp(name.c_str(), entry->d_name) == 0) *twin = entry->d_name;
  }
  ::closedir(listing);
  return exact;
}

bool OnFat(int fd) {
  struct statfs info {};
  return ::fstatfs(fd, &info) == 0 && info.f_type == MSDOS_SUPER_MAGIC;
}

}  // namespace

bool SyncDirectory(const std::string& hostDir) {
  const UniqueFd fd(::open(hostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd && ::fsync(fd.Get()) == 0;
}

StepResult SafeCopyInto(int source, int folder, const std::string& name, bool failIfExists) {
  struct stat from {};
  if (::fstat(source, &from) != 0) return Failed();
  if (!S_ISREG(from.st_mode)) {
    errno = S_ISDIR(from.st_mode) ? EISDIR : EINVAL;
    return StepResult::Refused("it is not a regular file");
  }
  struct stat existing {};
  if (::fstatat(folder, name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (existing.st_dev == from.st_dev && existing.st_ino == from.st_ino) {
      errno = EINVAL;  // a file copied onto itself would be emptied
      return Failed();
    }
    std::string twin;
    if (!ListsExactly(folder, name, &twin)) {
      errno = EEXIST;
      return StepResult::Refused("the target drive does not tell upper and lower case apart, and " +
                                 (twin.empty() ? std::string("another spelling") : twin) +
                                 " is there already");
    }
    if (failIfExists) {
      errno = EEXIST;
      return Failed();
    }
    if (S_ISDIR(existing.st_mode)) {
      errno = EISDIR;
      return Failed();
    }
  } else if (errno != ENOENT) {
    return Failed();
  }
  if (static_cast<std::uint64_t>(from.st_size) > kFatLargestFile && OnFat(folder)) {
    errno = EFBIG;
    return StepResult::Refused("a FAT drive holds no file of 4 GB or more");
  }

  std::string temporary;
  UniqueFd target = CreateTemporary(folder, name, temporary);
  if (!target) return Failed();
  const auto fail = [&](StepResult result) {
    const int saved = errno;
    ::unlinkat(folder, temporary.c_str(), 0);
    errno = saved;
    return result;
  };
  if (!CopyDataKeepingHoles(source, target.Get())) return fail(Failed());
  if (std::string lost = CopyMetadata(source, from, target.Get()); !lost.empty()) {
    errno = ENOTSUP;
    return fail(StepResult::Refused(std::move(lost)));
  }
  const struct timespec times[2] = {from.st_atim, from.st_mtim};
  if (::futimens(target.Get(), times) != 0) return fail(Failed());
  if (::fsync(target.Get()) != 0) return fail(Failed());
  if (!target.Close()) return fail(Failed());
  if (!Publish(folder, temporary, name, failIfExists)) return fail(Failed());
  // The copy counts once its name is on the disk too: a source emptied on the strength of
  // a copy whose folder entry a crash then loses would be lost with it.
  if (::fsync(folder) != 0) {
    const int saved = errno;
    if (failIfExists) ::unlinkat(folder, name.c_str(), 0);  // the name was ours alone; no copy is kept
    errno = saved;
    return Failed();
  }
  return StepResult::Done();
}

bool SafeCopyFile(const std::string& fromHost, const std::string& toHost, bool failIfExists) {
  const UniqueFd source(::open(fromHost.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!source) return false;
  const UniqueFd folder(::open(HostParent(toHost).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return false;
  const std::size_t slash = toHost.rfind('/');
  const std::string name = slash == std::string::npos ? toHost : toHost.substr(slash + 1);
  return SafeCopyInto(source.Get(), folder.Get(), name, failIfExists).done;
}

}  // namespace platform
