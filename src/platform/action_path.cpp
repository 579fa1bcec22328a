#include "platform/action_path.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/mount_table.h"

namespace platform {
namespace {

// Opens `relative` (components separated by '/') below `root`, one folder at a time,
// where the kernel lacks openat2 or a sandbox refuses it.
UniqueFd OpenStepByStep(int root, const std::string& relative) {
  UniqueFd current(::fcntl(root, F_DUPFD_CLOEXEC, 0));
  std::size_t start = 0;
  while (current && start < relative.size()) {
    const std::size_t slash = relative.find('/', start);
    const std::string component =
        relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    start = slash == std::string::npos ? relative.size() : slash + 1;
    if (component.empty()) continue;
    UniqueFd next(::openat(current.Get(), component.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (next) {
      const auto above = MountIdentityOf(current.Get(), "");
      const auto below = MountIdentityOf(next.Get(), "");
      if (!above || !below || !below->SameMount(*above)) {
        errno = EXDEV;
        return UniqueFd{};
      }
    }
    current = std::move(next);
  }
  return current;
}

UniqueFd OpenBelowRoot(int root, const std::string& relative) {
  if (relative.empty()) return UniqueFd(::fcntl(root, F_DUPFD_CLOEXEC, 0));
  open_how how{};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
  long fd = -1;
  do {
    fd = ::syscall(SYS_openat2, root, relative.c_str(), &how, sizeof how);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) return UniqueFd(static_cast<int>(fd));
  if (errno == ENOSYS || errno == EPERM || errno == E2BIG) return OpenStepByStep(root, relative);
  return UniqueFd{};
}

std::string Refusal(const std::string& host, int error) {
  if (error == ELOOP) return host + ": a folder on the way is a symbolic link";
  if (error == EXDEV) return host + ": a folder on the way is another filesystem";
  return host + ": " + std::strerror(error);
}

}  // namespace

ActionPlace OpenActionPlace(const DriveIdentities& identities, const MappedDrive& drive,
                            const std::string& hostPath, std::string* why) {
  ActionPlace place;
  place.host = hostPath;
  if (!PathIsWithin(hostPath, drive.root)) {
    if (why != nullptr) *why = hostPath + " is not on " + DriveName(drive);
    return place;
  }
  const UniqueFd root = identities.OpenRoot(drive, why);
  if (!root) return place;
  std::string relative = hostPath.substr(drive.root == "/" ? 1 : drive.root.size());
  while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
  const std::size_t slash = relative.rfind('/');
  place.name = slash == std::string::npos ? relative : relative.substr(slash + 1);
  const std::string parent = slash == std::string::npos ? std::string() : relative.substr(0, slash);
  place.folder = OpenBelowRoot(root.Get(), parent);
  if (!place.folder && why != nullptr) *why = Refusal(hostPath, errno);
  return place;
}

}  // namespace platform
