#pragma once
// Opening a folder inside an open folder, without crossing into another filesystem.

#include "platform/unique_fd.h"

namespace platform {

enum class OpenedBelow {
  Opened,       // open, and on the same mount as its parent
  MountPoint,   // another filesystem is mounted on it
  Failed,       // missing, a link, not a folder, not allowed: errno says which
  Unsupported,  // the kernel (or a sandbox) refuses the call: open it another way
};

struct FolderOpenedBelow {
  UniqueFd fd;
  OpenedBelow outcome = OpenedBelow::Failed;
};

// Opens the folder `name` (one component) inside `parentFd` without following a link,
// in one call that also refuses to cross a mount point: the opened folder needs no
// second look to know it is on its parent's filesystem.
FolderOpenedBelow OpenFolderOnSameMount(int parentFd, const char* name);

}  // namespace platform
