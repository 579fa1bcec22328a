#include "platform/open_below.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

FolderOpenedBelow OpenFolderOnSameMount(int parentFd, const char* name) {
  open_how how{};
  how.flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  how.resolve = RESOLVE_NO_XDEV;
  FolderOpenedBelow result;
  long fd = -1;
  do {
    fd = ::syscall(SYS_openat2, parentFd, name, &how, sizeof how);
  } while (fd < 0 && errno == EINTR);
  if (fd >= 0) {
    result.fd = UniqueFd(static_cast<int>(fd));
    result.outcome = OpenedBelow::Opened;
  } else if (errno == EXDEV) {
    result.outcome = OpenedBelow::MountPoint;
  } else if (errno == ENOSYS || errno == EPERM || errno == EINVAL || errno == E2BIG) {
    // Before Linux 5.6 the call does not exist; seccomp filters may refuse it with EPERM.
    result.outcome = OpenedBelow::Unsupported;
  }
  return result;
}

}  // namespace platform
