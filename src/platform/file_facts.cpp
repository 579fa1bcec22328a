#include "platform/file_facts.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include "platform/btrfs_extents.h"
#include "platform/dos_attributes.h"
#include "platform/shared_extents.h"
#include "platform/system.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

constexpr unsigned kStatxMask =
    STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_SIZE | STATX_BLOCKS | STATX_INO | STATX_MNT_ID;

std::uint64_t DeviceOf(const struct statx& info) {
  return makedev(info.stx_dev_major, info.stx_dev_minor);
}

// The bytes the data really takes when fewer than the size (compressed or sparse files).
std::uint64_t AllocatedOrSize(const struct statx& info) {
  const std::uint64_t allocated = info.stx_blocks * 512ULL;
  return allocated < info.stx_size ? allocated : info.stx_size;
}

FileType TypeOf(std::uint16_t mode) {
  if (S_ISREG(mode)) return FileType::Regular;
  if (S_ISDIR(mode)) return FileType::Directory;
  if (S_ISLNK(mode)) return FileType::SymbolicLink;
  if (S_ISFIFO(mode)) return FileType::Fifo;
  if (S_ISSOCK(mode)) return FileType::Socket;
  if (S_ISCHR(mode)) return FileType::CharacterDevice;
  return FileType::BlockDevice;
}

// Opens a regular file for its extents without following a link, waiting on a lock
// or making it a terminal.
UniqueFd OpenForExtents(const FactsQuery& query) {
  return UniqueFd(::openat(query.dirFd, query.name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
}

}  // namespace

bool FilesystemCompresses(int fd) { return IsOnBtrfs(fd); }

bool FilesystemSharesData(int fd) { return CanShareData(fd); }

bool CompressionCheck::FilesystemCompresses() {
  if (!compresses_) compresses_ = folderFd_ >= 0 && platform::FilesystemCompresses(folderFd_);
  return *compresses_;
}

std::optional<MountIdentity> MountIdentityOf(int dirFd, const char* name, bool followLink) {
  struct statx info {};
  const int follow = followLink ? 0 : AT_SYMLINK_NOFOLLOW;
  if (::statx(dirFd, name, follow | AT_NO_AUTOMOUNT | AT_EMPTY_PATH,
              STATX_TYPE | STATX_MNT_ID, &info) != 0) {
    return std::nullopt;
  }
  MountIdentity identity;
  identity.device = DeviceOf(info);
  if ((info.stx_mask & STATX_MNT_ID) != 0) identity.mountId = info.stx_mnt_id;
  return identity;
}

std::optional<FileFacts> ReadFileFacts(const FactsQuery& query) {
  struct statx info {};
  if (::statx(query.dirFd, query.name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxMask,
              &info) != 0) {
    return std::nullopt;
  }
  FileFacts facts;
  facts.device = DeviceOf(info);
  facts.inode = info.stx_ino;
  facts.links = info.stx_nlink;
  facts.type = TypeOf(info.stx_mode);
  if ((info.stx_mask & STATX_MNT_ID) != 0) facts.mountId = info.stx_mnt_id;

  const bool isDirectory = S_ISDIR(info.stx_mode);
  const bool isLink = S_ISLNK(info.stx_mode);
  if (isDirectory) {
    facts.attributes |= kAttrDirectory;
  } else {
    facts.size = info.stx_size;
    facts.compressedSize = AllocatedOrSize(info);
  }
  const bool compressed = (info.stx_attributes_mask & STATX_ATTR_COMPRESSED) != 0 &&
                          (info.stx_attributes & STATX_ATTR_COMPRESSED) != 0 &&
                          query.folder.FilesystemCompresses();
  // Only a file with blocks can share them; files without (empty, inline or holes) are
  // most of a tree's files and never pay the open.
  const bool askShared = query.mayShareData && S_ISREG(info.stx_mode) && info.stx_blocks != 0;
  UniqueFd fd;
  if ((compressed || askShared) && S_ISREG(info.stx_mode)) fd = OpenForExtents(query);
  if (compressed) {
    facts.attributes |= kAttrCompressed;
    const auto diskBytes = fd ? CompressedDiskBytes(fd.Get(), info.stx_ino) : std::nullopt;
    if (diskBytes) facts.compressedSize = std::min<std::uint64_t>(*diskBytes, info.stx_size);
  }
  if (askShared && fd) facts.sharedData = HasSharedExtents(fd.Get()).value_or(false);
  // Links cannot carry user extended attributes; asking would only cost a call.
  const bool wanted = query.dosBits == DosBitsRead::Always ||
                      (S_ISREG(info.stx_mode) && info.stx_size == 0);
  if (!isLink && wanted) facts.attributes |= ReadDosAttributes(query.hostPath);
  if (facts.attributes == 0) facts.attributes = kAttrNormal;
  return facts;
}

}  // namespace platform
