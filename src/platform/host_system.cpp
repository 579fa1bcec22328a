#include "platform/host_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/btrfs_compression.h"
#include "platform/dos_attributes.h"
#include "platform/file_facts.h"
#include "platform/host_action_file.h"
#include "platform/host_file.h"
#include "platform/metadata_copy.h"
#include "platform/mount_table.h"
#include "platform/open_below.h"
#include "platform/recorder_channel.h"
#include "platform/safe_copy.h"
#include "platform/sparse_data.h"
#include "platform/unique_fd.h"
#include "platform/volume_query.h"
#include "platform/windows_path.h"

namespace platform {
namespace {

struct LinuxDirent64 {
  std::uint64_t d_ino;
  std::int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[1];
};

std::optional<FileFacts> FactsOf(const std::string& host) {
  const std::string parent = HostParent(host);
  const UniqueFd dir(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  CompressionCheck folder(dir ? dir.Get() : -1);
  return ReadFileFacts({AT_FDCWD, host.c_str(), host, folder});
}

// True when no folder between the drive's root and the last component of `host` is a
// symbolic link. Everything that changes files goes through this, so a link planted
// inside a drive (E:\Work -> /etc) cannot carry a copy, a folder or a truncation off it.
bool FoldersBelowRootAreReal(const std::string& root, const std::string& host) {
  std::string prefix = root;
  std::size_t next = root == "/" ? 1 : root.size() + 1;
  while (next < host.size()) {
    const std::size_t slash = host.find('/', next);
    if (slash == std::string::npos) break;  // the last component is the caller's business
    prefix = host.substr(0, slash);
    struct stat info {};
    if (::lstat(prefix.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      errno = ELOOP;
      return false;
    }
    next = slash + 1;
  }
  return true;
}

}  // namespace

HostSystem::HostSystem(const Environment& environment)
    : drives_(environment.drives),
      identities_(environment.driveChanges),
      recorderSocket_(environment.recorderSocket),
      stateDir_(environment.stateDir) {
  identities_.Remember(drives_);
}

std::optional<std::string> HostSystem::HostPath(std::string_view windowsPath) const {
  return HostPathOf(drives_, windowsPath);
}

std::optional<std::string> HostSystem::HostPathToChange(std::string_view windowsPath) const {
  auto host = HostPath(windowsPath);
  if (!host) return std::nullopt;
  const MappedDrive* drive = drives_.Find(*DriveLetterOf(windowsPath));
  // Nothing is written onto the folder a disk was mounted on, once it is gone.
  if (identities_.Problem(*drive)) {
    errno = ENODEV;
    return std::nullopt;
  }
  if (!FoldersBelowRootAreReal(drive->root, *host)) return std::nullopt;
  return host;
}

ActionPlace HostSystem::PlaceOf(std::string_view windowsPath, std::string* why) const {
  const auto letter = DriveLetterOf(windowsPath);
  const auto host = HostPath(windowsPath);
  if (!letter || !host) {
    if (why != nullptr) *why = std::string(windowsPath) + " names no file on a mapped drive";
    return {};
  }
  return OpenActionPlace(identities_, *drives_.Find(*letter), *host, why);
}

DriveType HostSystem::GetDriveType(char letter) const {
  const MappedDrive* drive = drives_.Find(letter);
  if (drive == nullptr) return DriveType::NoRootDir;
  return DriveTypeOf(MountTable::Read(), drive->root);
}

std::optional<VolumeInfo> HostSystem::GetVolumeInformation(char letter) const {
  const MappedDrive* drive = drives_.Find(letter);
  if (drive == nullptr) return std::nullopt;
  return VolumeInfoOf(MountTable::Read(), *drive);
}

std::optional<DiskSpace> HostSystem::GetDiskFreeSpace(char letter) const {
  const MappedDrive* drive = drives_.Find(letter);
  if (drive == nullptr) return std::nullopt;
  return DiskSpaceOf(drive->root);
}

std::optional<std::string> HostSystem::GetNetworkConnection(char letter) const {
  const MappedDrive* drive = drives_.Find(letter);
  if (drive == nullptr) return std::nullopt;
  return NetworkNameOf(MountTable::Read(), drive->root);
}

namespace {

// A listed folder as the host holds it: its descriptor, its host path (for what is read
// by path), the mount of its drive's root, so that a descent stays on one filesystem
// without asking the root again for every folder, and whether that filesystem can share
// data between files, which the folders below it inherit.
class HostOpenFolder final : public OpenFolder {
 public:
  HostOpenFolder(UniqueFd dir, std::string hostPath, MountIdentity rootMount, bool sharesData)
      : dir_(std::move(dir)), hostPath_(std::move(hostPath)), rootMount_(rootMount), sharesData_(sharesData) {}
  int Fd() const { return dir_.Get(); }
  const std::string& HostPath() const { return hostPath_; }
  const MountIdentity& RootMount() const { return rootMount_; }
  bool SharesData() const { return sharesData_; }

 private:
  UniqueFd dir_;
  std::string hostPath_;
  MountIdentity rootMount_;
  bool sharesData_;
};

// Lists the open folder `dir` at `hostPath` (without a trailing slash but for "/").
bool ListOpenFolder(int dir, std::string hostPath, bool sharesData,
                    const std::function<bool(const FindData&)>& visit) {
  CompressionCheck check(dir);
  if (hostPath.back() != '/') hostPath += '/';
  const std::size_t prefix = hostPath.size();

  // Not zeroed: the kernel fills what it returns, and zeroing 64 KB per folder cost as
  // much as all the listing's own work in deep trees of small folders.
  constexpr std::size_t kBufferBytes = 64 * 1024;
  const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferBytes);
  FindData data;
  for (;;) {
    const long count = ::syscall(SYS_getdents64, dir, buffer.get(), kBufferBytes);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;  // an error mid-way ends the listing with what was read
    for (long offset = 0; offset < count;) {
      const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer.get() + offset);
      offset += entry->d_reclen;
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      if (std::strchr(name, '\\') != nullptr) continue;
      hostPath.resize(prefix);
      hostPath += name;
      const auto facts = ReadFileFacts({dir, name, hostPath, check, DosBitsRead::OfEmptyFiles, sharesData});
      if (!facts) continue;  // vanished since the listing was read
      data.name = name;
      data.attributes = facts->attributes;
      data.size = facts->size;
      data.compressedSize = facts->compressedSize;
      data.compressedSizeValid = facts->compressedSizeValid;
      data.type = facts->type;
      data.links = facts->links;
      data.device = facts->device;
      data.inode = facts->inode;
      data.sharedData = facts->sharedData;
      if (!visit(data)) return true;
    }
  }
  return true;
}

// A name that opens one folder right inside its parent.
bool IsOneComponent(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace

bool HostSystem::ListDirectory(std::string_view windowsFolder,
                               const std::function<bool(const FindData&)>& visit) const {
  return ListDirectoryIn(nullptr, {}, windowsFolder, visit, nullptr);
}

bool HostSystem::ListDirectoryIn(const OpenFolder* parent, std::string_view name,
                                 std::string_view windowsFolder,
                                 const std::function<bool(const FindData&)>& visit,
                                 std::unique_ptr<OpenFolder>* opened) const {
  if (opened != nullptr) opened->reset();
  const auto* held = dynamic_cast<const HostOpenFolder*>(parent);
  UniqueFd dir;
  std::string folder;
  MountIdentity rootMount;
  bool onRootMount = false;
  std::optional<bool> sharesData;
  if (held != nullptr && IsOneComponent(name)) {
    const std::string child(name);
    folder = held->HostPath();
    if (folder.back() != '/') folder += '/';
    folder += child;
    // No deeper than a path can name: what the program later does to a file it found
    // goes by its path.
    if (folder.size() >= PATH_MAX) {
      errno = ENAMETOOLONG;
      return false;
    }
    // Links inside a drive are files, never followed.
    if (!openBelowUnsupported_.load(std::memory_order_relaxed)) {
      FolderOpenedBelow below = OpenFolderOnSameMount(held->Fd(), child.c_str());
      switch (below.outcome) {
        case OpenedBelow::Opened:
          dir = std::move(below.fd);
          onRootMount = true;  // its parent is, and the open crossed no mount
          break;
        case OpenedBelow::MountPoint: return true;  // an empty folder, as below
        case OpenedBelow::Failed: return false;
        case OpenedBelow::Unsupported: openBelowUnsupported_.store(true, std::memory_order_relaxed); break;
      }
    }
    if (!dir) {
      dir = UniqueFd(::openat(held->Fd(), child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    if (!dir) return false;
    rootMount = held->RootMount();
    sharesData = held->SharesData();
  } else {
    const auto letter = DriveLetterOf(windowsFolder);
    auto host = HostPath(windowsFolder);
    if (!letter || !host) return false;
    folder = std::move(*host);
    // The drive's root itself may be a link the user mapped on purpose.
    const std::string& root = drives_.Find(*letter)->root;
    const int noFollow = folder == root ? 0 : O_NOFOLLOW;
    dir = UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC));
    if (!dir) return false;
    const auto identity = MountIdentityOf(AT_FDCWD, root.c_str(), true);
    if (!identity) return false;
    rootMount = *identity;
  }

  // A folder on another filesystem than its drive's root is a mount point: it shows as an
  // empty folder, so a scan never wanders onto another filesystem.
  if (!onRootMount) {
    const auto folderIdentity = MountIdentityOf(dir.Get(), "");
    if (!folderIdentity) return false;
    if (!folderIdentity->SameMount(rootMount)) return true;
  }

  // One filesystem below a drive's root: asked once per folder opened by path, never
  // per file.
  if (!sharesData) sharesData = FilesystemSharesData(dir.Get());
  const bool listed = ListOpenFolder(dir.Get(), folder, *sharesData, visit);
  if (opened != nullptr) {
    *opened = std::make_unique<HostOpenFolder>(std::move(dir), std::move(folder), rootMount, *sharesData);
  }
  return listed;
}

std::uint32_t HostSystem::GetFileAttributes(std::string_view windowsPath) const {
  const auto host = HostPath(windowsPath);
  if (!host) return kInvalidAttributes;
  const auto facts = FactsOf(*host);
  return facts ? facts->attributes : kInvalidAttributes;
}

bool HostSystem::SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) {
  const auto host = HostPathToChange(windowsPath);
  return host && WriteDosAttributes(*host, attributes);
}

std::optional<std::uint64_t> HostSystem::GetFileSize(std::string_view windowsPath) const {
  const auto host = HostPath(windowsPath);
  if (!host) return std::nullopt;
  struct stat info {};
  if (::lstat(host->c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t HostSystem::GetCompressedFileSize(std::string_view windowsPath) const {
  const auto host = HostPath(windowsPath);
  if (!host) return kInvalidFileSize;
  const auto facts = FactsOf(*host);
  if (!facts || facts->IsDirectory() || !facts->compressedSizeValid) return kInvalidFileSize;
  return facts->compressedSize;
}

std::unique_ptr<File> HostSystem::OpenFile(std::string_view windowsPath,
                                           const OpenOptions& options) {
  const auto host = HostPathToChange(windowsPath);
  if (!host) return nullptr;
  return OpenHostFile(*host, options);
}

bool HostSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const auto source = HostPathToChange(from);
  const auto target = HostPathToChange(to);
  return source && target && SafeCopyFile(*source, *target, failIfExists);
}

bool HostSystem::MoveFile(std::string_view from, std::string_view to) {
  const auto source = HostPathToChange(from);
  const auto target = HostPathToChange(to);
  if (!source || !target || DriveLetterOf(from) != DriveLetterOf(to)) return false;
  if (::rename(source->c_str(), target->c_str()) != 0) return false;
  SyncDirectory(HostParent(*target));
  return true;
}

bool HostSystem::DeleteFile(std::string_view windowsPath) {
  const auto host = HostPathToChange(windowsPath);
  return host && ::unlink(host->c_str()) == 0;
}

bool HostSystem::FileExists(std::string_view windowsPath) const {
  const auto host = HostPath(windowsPath);
  struct stat info {};
  return host && ::lstat(host->c_str(), &info) == 0;
}

bool HostSystem::CreateDirectory(std::string_view windowsPath) {
  const auto host = HostPathToChange(windowsPath);
  if (!host || ::mkdir(host->c_str(), 0777) != 0) return false;
  // Copies flushed into a folder whose own entry a crash loses are lost with it.
  return SyncDirectory(HostParent(*host));
}

bool HostSystem::SetCompression(std::string_view windowsPath, bool compress) {
  const auto host = HostPathToChange(windowsPath);
  return host && SetBtrfsCompression(*host, compress);
}

std::optional<std::string> HostSystem::DriveProblem(char letter) const {
  const MappedDrive* drive = drives_.Find(letter);
  if (drive == nullptr) return std::string(1, letter) + ": is not a mapped drive";
  return identities_.Problem(*drive);
}

std::unique_ptr<ActionFile> HostSystem::OpenForAction(std::string_view windowsPath, OpenFor purpose,
                                                      std::string* why) {
  const ActionPlace place = PlaceOf(windowsPath, why);
  return OpenActionFile(place, std::string(windowsPath), purpose, why);
}

std::unique_ptr<ActionFile> HostSystem::CreateForAction(std::string_view windowsPath, ActionFile& like,
                                                        std::string* why) {
  const auto* model = dynamic_cast<const HostActionFile*>(&like);
  if (model == nullptr) return nullptr;
  const ActionPlace place = PlaceOf(windowsPath, why);
  return CreateActionFile(place, std::string(windowsPath), *model, why);
}

bool HostSystem::StillNames(const ActionFile& file, std::string_view windowsPath) const {
  const auto* held = dynamic_cast<const HostActionFile*>(&file);
  const ActionPlace place = PlaceOf(windowsPath, nullptr);
  struct stat now {};
  return held != nullptr && place.folder && !place.name.empty() &&
         ::fstatat(place.folder.Get(), place.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
         now.st_dev == held->Opened().st_dev && now.st_ino == held->Opened().st_ino;
}

StepResult HostSystem::CopyOpenFile(ActionFile& from, std::string_view to, bool failIfExists) {
  const auto* source = dynamic_cast<const HostActionFile*>(&from);
  std::string why;
  const ActionPlace place = PlaceOf(to, &why);
  if (source == nullptr || !place.folder || place.name.empty()) return StepResult::Refused(why);
  return SafeCopyInto(source->Fd(), place.folder.Get(), place.name, failIfExists);
}

StepResult HostSystem::WriteInto(ActionFile& from, ActionFile& into) {
  const auto* source = dynamic_cast<const HostActionFile*>(&from);
  const auto* target = dynamic_cast<const HostActionFile*>(&into);
  if (source == nullptr || target == nullptr) return {};
  // Asked before anything is replaced: a restore that runs out of room half-way would
  // leave neither the stub nor the file.
  const std::uint64_t needed = AllocatedBytes(source->Fd());
  const std::uint64_t room = FreeBytes(target->Fd()) + AllocatedBytes(target->Fd());
  if (needed > room) {
    errno = ENOSPC;
    return StepResult::Refused("its drive has " + std::to_string(room) + " bytes free, and the file needs " +
                               std::to_string(needed));
  }
  const struct timespec times[2] = {source->Opened().st_atim, source->Opened().st_mtim};
  if (::ftruncate(target->Fd(), 0) != 0 || !CopyDataKeepingHoles(source->Fd(), target->Fd()) ||
      ::futimens(target->Fd(), times) != 0 || ::fsync(target->Fd()) != 0) {
    return {};
  }
  return StepResult::Done();
}

bool HostSystem::CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) {
  if (modelFolder.empty()) return CreateDirectory(windowsPath);
  const ActionPlace place = PlaceOf(windowsPath, nullptr);
  if (!place.folder || place.name.empty()) return false;
  // Made private first, and given the model's owner and mode before anything is put in.
  if (::mkdirat(place.folder.Get(), place.name.c_str(), 0700) != 0) return false;
  const UniqueFd made(::openat(place.folder.Get(), place.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!made) return false;
  if (const auto model = OpenForAction(modelFolder, OpenFor::Folder, nullptr)) {
    const auto& held = static_cast<const HostActionFile&>(*model);
    CopyMetadata(held.Fd(), held.Opened(), made.Get());
  }
  return ::fsync(place.folder.Get()) == 0;
}

RecorderReply HostSystem::SendRecorderControl(std::uint32_t code) {
  // The recorder's files are the state folder's: a user that folder keeps out is turned
  // away as the recorder would turn them away, whether it runs or not.
  if (::access(stateDir_.c_str(), R_OK | W_OK | X_OK) != 0 && errno == EACCES) return RecorderReply::Refused;
  return AskRecorder(recorderSocket_, code);
}

std::int64_t HostSystem::Now() const { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace platform
