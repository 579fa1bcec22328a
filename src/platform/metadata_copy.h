#pragma once
// Carries what makes a file its owner's from one open file (or folder) to another: owner
// and group where the process may give them, extended attributes (ACLs among them), and
// the mode. Setuid and setgid travel only with the owner: a program made setuid by one
// user never becomes setuid for another. From a filesystem that keeps no owners and modes
// (platform/permission_support.h) neither travels: the target keeps its own.
//
// Cosmetic attributes may be lost where the target cannot hold them: the desktop's
// "user.xdg.*" notes, the SELinux label "security.selinux" (which the target's policy
// assigns), the DOS bits "user.DOSATTRIB" and the btrfs compression property
// "btrfs.compression" (how the data is stored, not what it is). Any other attribute the
// target refuses refuses the whole copy, since the file would come back with less
// protection or less of its owner's data than it had.

#include <sys/stat.h>

#include <string>

namespace platform {

// Empty when everything important arrived; otherwise why not. The offline mark of the
// DOS bits never travels: a copy is never a stub.
std::string CopyMetadata(int from, const struct stat& fromInfo, int to);

// Whether losing the extended attribute `name` loses nothing that matters.
bool IsCosmeticAttribute(const std::string& name);

}  // namespace platform
