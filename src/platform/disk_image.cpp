#include "platform/disk_image.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/mount_table.h"
#include "platform/unique_fd.h"

extern char** environ;

namespace platform {
namespace {

// What making and mounting one format takes.
struct FormatTools {
  const char* name;
  const char* image;  // how messages call an image of it
  std::vector<std::string> mkfs;  // the program and its options, before the image
  const char* mkfsPackage;
  const char* mountType;
  const char* mountHelper;  // a FUSE filesystem's mount program, which mount runs; or null
  const char* helperPackage;
  long magic;
};

FormatTools ToolsFor(ImageFormat format) {
  if (format == ImageFormat::Exfat) {
    return {"exFAT", "an exFAT image", {"mkfs.exfat"}, "exfatprogs", "exfat-fuse", "mount.exfat-fuse", "exfat-fuse", 0x65735546};
  }
  return {"btrfs", "a btrfs image", {"mkfs.btrfs", "-q", "-f"}, "btrfs-progs", "btrfs", nullptr, nullptr, 0x9123683E};
}

// The formatting and mounting tools live in sbin, which a plain user's PATH may lack.
std::string FindProgram(const std::string& name) {
  std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "";
  dirs += ":/usr/sbin:/sbin:/usr/bin:/bin";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    if (end > start) {
      const std::string candidate = dirs.substr(start, end - start) + "/" + name;
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return {};
}

// Runs a program with its output discarded, without a shell (paths are passed as they
// are, whatever characters they hold). True when it exits with 0.
bool Run(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool MakeSparseFile(const std::string& path, std::uint64_t bytes) {
  const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
  return fd && ::ftruncate(fd.Get(), static_cast<off_t>(bytes)) == 0;
}

bool HasMagic(const std::string& folder, long magic) {
  struct statfs info {};
  return ::statfs(folder.c_str(), &info) == 0 && static_cast<long>(info.f_type) == magic;
}

// The mount table names mount points by their resolved path.
std::string Resolved(const std::string& path) {
  char buffer[PATH_MAX];
  return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : path;
}

}  // namespace

DiskImage::DiskImage(std::string mountPoint) : mountPoint_(std::move(mountPoint)) {}

std::unique_ptr<DiskImage> DiskImage::Mount(ImageFormat format, const std::string& imagePath,
                                            const std::string& mountPoint, std::uint64_t bytes,
                                            std::string* whyNot) {
  const FormatTools tools = ToolsFor(format);
  const std::string kind = tools.image;
  if (::geteuid() != 0) {
    *whyNot = "mounting " + kind + " needs root";
    return nullptr;
  }
  std::vector<std::string> mkfs = tools.mkfs;
  mkfs[0] = FindProgram(tools.mkfs[0]);
  if (mkfs[0].empty()) {
    *whyNot = tools.mkfs[0] + " is not installed (package " + tools.mkfsPackage + ")";
    return nullptr;
  }
  if (tools.mountHelper != nullptr && FindProgram(tools.mountHelper).empty()) {
    *whyNot = std::string(tools.mountHelper) + " is not installed (package " + tools.helperPackage + ")";
    return nullptr;
  }
  const std::string mount = FindProgram("mount");
  if (mount.empty()) {
    *whyNot = "the mount program is missing";
    return nullptr;
  }
  if (!MakeSparseFile(imagePath, bytes)) {
    *whyNot = "cannot create " + imagePath + ": " + std::strerror(errno);
    return nullptr;
  }
  mkfs.push_back(imagePath);
  if (!Run(mkfs)) {
    *whyNot = tools.mkfs[0] + " failed on " + imagePath;
    return nullptr;
  }
  // "-o loop" sets the loop device to clear itself once the filesystem is unmounted.
  if (!Run({mount, "-t", tools.mountType, "-o", "loop", imagePath, mountPoint})) {
    *whyNot = "loop-mounting " + kind + " is not allowed here";
    return nullptr;
  }
  std::unique_ptr<DiskImage> image(new DiskImage(Resolved(mountPoint)));
  if (!HasMagic(image->mountPoint_, tools.magic)) {
    *whyNot = "the image did not appear as " + std::string(tools.name) + " on " + mountPoint;
    return nullptr;  // the destructor undoes whatever got mounted
  }
  return image;
}

DiskImage::~DiskImage() { Unmount(); }

bool DiskImage::Unmount() {
  if (!mounted_) return true;
  mounted_ = false;
  return UnmountFolder(mountPoint_);
}

bool IsMountPoint(const std::string& folder) {
  const std::string target = Resolved(folder);
  const MountTable table = MountTable::Read();
  for (const MountEntry& entry : table.Entries()) {
    if (entry.target == target) return true;
  }
  return false;
}

bool UnmountFolder(const std::string& folder) {
  return ::umount2(folder.c_str(), 0) == 0 || ::umount2(folder.c_str(), MNT_DETACH) == 0 ||
         !IsMountPoint(folder);
}

}  // namespace platform
