#include "platform/host_action_file.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/btrfs_compression.h"
#include "platform/dos_attributes.h"
#include "platform/metadata_copy.h"

namespace platform {
namespace {

constexpr const char* kDosAttributes = "user.DOSATTRIB";
constexpr std::uint32_t kOffline = 0x1000;

std::uint32_t StoredBits(int fd, bool* unsupported) {
  char value[256];
  const ssize_t size = ::fgetxattr(fd, kDosAttributes, value, sizeof value);
  if (unsupported != nullptr) *unsupported = size < 0 && (errno == ENOTSUP || errno == EOPNOTSUPP);
  return size > 0 ? ParseDosAttributeValue(value, static_cast<std::size_t>(size)) : 0;
}

const char* KindOf(mode_t mode) {
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "a regular file";
}

bool Refuse(std::string* why, std::string text) {
  if (why != nullptr) *why = std::move(text);
  return false;
}

UniqueFd OpenNoFollow(const ActionPlace& place, OpenFor purpose) {
  const int common = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const char* name = place.name.c_str();
  if (purpose == OpenFor::Folder) return UniqueFd(::openat(place.folder.Get(), name, O_RDONLY | O_DIRECTORY | common));
  if (purpose == OpenFor::Reading) return UniqueFd(::openat(place.folder.Get(), name, O_RDONLY | common));
  UniqueFd fd(::openat(place.folder.Get(), name, O_RDWR | common));
  // A file its owner may not write to (or a program running) is still copied; only
  // emptying it will then fail, and it keeps its data.
  if (!fd && (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
    fd = UniqueFd(::openat(place.folder.Get(), name, O_RDONLY | common));
  }
  return fd;
}

}  // namespace

std::uint64_t HostActionFile::Size() const {
  struct stat info {};
  return ::fstat(fd_.Get(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

bool HostActionFile::MarkedOffline() const { return (StoredBits(fd_.Get(), nullptr) & kOffline) != 0; }

bool HostActionFile::KeepsOfflineMark() const {
  bool unsupported = false;
  StoredBits(fd_.Get(), &unsupported);
  return !unsupported;
}

StepResult HostActionFile::SetOffline(bool offline) {
  bool unsupported = false;
  const std::uint32_t bits = StoredBits(fd_.Get(), &unsupported);
  if (unsupported) {
    return StepResult::Refused("its drive cannot keep the mark that tells a back-up stub (no extended attributes)");
  }
  const std::uint32_t wanted = offline ? bits | kOffline : bits & ~kOffline;
  if (wanted == bits) return StepResult::Done();
  char value[16];
  const int length = std::snprintf(value, sizeof value, "0x%x", wanted & kStoredDosBits);
  if (::fsetxattr(fd_.Get(), kDosAttributes, value, static_cast<std::size_t>(length) + 1, 0) == 0) {
    return StepResult::Done();
  }
  return StepResult::Refused(std::string("its offline mark cannot be stored: ") + std::strerror(errno));
}

bool HostActionFile::Empty() { return ::ftruncate(fd_.Get(), 0) == 0 && ::fsync(fd_.Get()) == 0; }

std::uint64_t HostActionFile::LinkCount() const {
  struct stat info {};
  return ::fstat(fd_.Get(), &info) == 0 ? static_cast<std::uint64_t>(info.st_nlink) : info_.st_nlink;
}

StepResult HostActionFile::SetCompression(bool compress) {
  if (SetBtrfsCompressionOf(fd_.Get(), compress)) return StepResult::Done();
  if (errno == kErrorSharedData) {
    return StepResult::Refused(
        "its data is shared with another file or a snapshot: rewriting it would use more space, not less");
  }
  return {};
}

std::unique_ptr<HostActionFile> OpenActionFile(const ActionPlace& place, std::string windowsPath,
                                               OpenFor purpose, std::string* why) {
  if (!place.folder || place.name.empty()) return nullptr;
  struct stat looked {};
  if (::fstatat(place.folder.Get(), place.name.c_str(), &looked, AT_SYMLINK_NOFOLLOW) != 0) {
    Refuse(why, place.host + ": " + std::strerror(errno));
    return nullptr;
  }
  const bool wanted = purpose == OpenFor::Folder ? S_ISDIR(looked.st_mode) : S_ISREG(looked.st_mode);
  if (!wanted) {
    errno = S_ISLNK(looked.st_mode) ? ELOOP : EINVAL;
    Refuse(why, place.host + " is " + KindOf(looked.st_mode) + ", which no action opens");
    return nullptr;
  }
  UniqueFd fd = OpenNoFollow(place, purpose);
  if (!fd) {
    Refuse(why, place.host + ": " + std::strerror(errno));
    return nullptr;
  }
  struct stat opened {};
  if (::fstat(fd.Get(), &opened) != 0 || opened.st_dev != looked.st_dev || opened.st_ino != looked.st_ino) {
    Refuse(why, place.host + " was replaced while it was being opened");
    return nullptr;
  }
  // O_NONBLOCK only kept the open from hanging; the file is read and written plainly.
  if (const int status = ::fcntl(fd.Get(), F_GETFL); status >= 0) ::fcntl(fd.Get(), F_SETFL, status & ~O_NONBLOCK);
  return std::make_unique<HostActionFile>(std::move(fd), opened, std::move(windowsPath));
}

std::unique_ptr<HostActionFile> CreateActionFile(const ActionPlace& place, std::string windowsPath,
                                                 const HostActionFile& like, std::string* why) {
  if (!place.folder || place.name.empty()) return nullptr;
  UniqueFd fd(::openat(place.folder.Get(), place.name.c_str(),
                       O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd) {
    Refuse(why, place.host + ": " + std::strerror(errno));
    return nullptr;
  }
  const auto remove = [&place] { ::unlinkat(place.folder.Get(), place.name.c_str(), 0); };
  if (std::string lost = CopyMetadata(like.Fd(), like.Opened(), fd.Get()); !lost.empty()) {
    remove();
    Refuse(why, std::move(lost));
    return nullptr;
  }
  struct stat created {};
  if (::fstat(fd.Get(), &created) != 0 || ::fsync(place.folder.Get()) != 0) {
    Refuse(why, place.host + ": " + std::strerror(errno));
    remove();
    return nullptr;
  }
  return std::make_unique<HostActionFile>(std::move(fd), created, std::move(windowsPath));
}

}  // namespace platform
