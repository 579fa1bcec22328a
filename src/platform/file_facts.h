#pragma once
// Everything the program asks about one file, from one statx (plus the stored DOS bits,
// and the extents of a file the filesystem compresses).

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_type.h"

namespace platform {

struct FileFacts {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;
  bool compressedSizeValid = true;
  std::uint64_t mountId = 0;  // statx mount id where the kernel gives one, else 0
  std::uint64_t device = 0;   // st_dev
  std::uint64_t inode = 0;
  std::uint32_t links = 1;
  FileType type = FileType::Regular;
  bool sharedData = false;    // asked only when the query says the filesystem can share
  bool IsDirectory() const { return (attributes & 0x10) != 0; }
};

enum class DosBitsRead { Always, OfEmptyFiles };

// Whether the filesystem holding a folder compresses files, asked only once a file
// there carries the compressed flag: most folders have none and never pay the call.
class CompressionCheck {
 public:
  // `folderFd`: the folder, open for as long as the check is used; -1 when unknown (the
  // filesystem then counts as not compressing).
  explicit CompressionCheck(int folderFd) : folderFd_(folderFd) {}
  bool FilesystemCompresses();

 private:
  int folderFd_;
  std::optional<bool> compresses_;
};

struct FactsQuery {
  int dirFd;                    // AT_FDCWD with an absolute path, or the listed folder
  const char* name;             // relative to dirFd
  const std::string& hostPath;  // the same file as an absolute path (for the DOS bits)
  CompressionCheck& folder;     // the folder that holds the file
  // The stored DOS bits cost an extended-attribute read per file; a listing reads them
  // for empty files only, the one place the scan looks at them (a back-up stub's mark).
  DosBitsRead dosBits = DosBitsRead::Always;
  // The filesystem can share data between files (btrfs, XFS): a regular file holding
  // data is then asked whether any of it is shared, which costs an open and a FIEMAP.
  bool mayShareData = false;
};

// Never follows a final symbolic link: a link is a file of its own. nullopt when the file
// cannot be examined.
std::optional<FileFacts> ReadFileFacts(const FactsQuery& query);

// Whether the filesystem holding the open descriptor compresses files (btrfs; not ext4,
// which keeps the flag and compresses nothing).
bool FilesystemCompresses(int fd);

// Whether the filesystem holding the open descriptor can share data between files
// (reflinks, snapshots): btrfs and XFS.
bool FilesystemSharesData(int fd);

// Mount identity of a folder: the statx mount id when available, else its device.
struct MountIdentity {
  std::uint64_t mountId = 0;
  std::uint64_t device = 0;
  bool SameMount(const MountIdentity& other) const {
    if (mountId != 0 && other.mountId != 0) return mountId == other.mountId;
    return device == other.device;
  }
};
// `followLink`: a final symbolic link stands for what it points to.
std::optional<MountIdentity> MountIdentityOf(int dirFd, const char* name, bool followLink = false);

}  // namespace platform
