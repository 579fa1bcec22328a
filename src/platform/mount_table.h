#pragma once
// The host's mounted filesystems, as /proc/self/mounts lists them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MountEntry {
  std::string source;      // "/dev/sda1", "//server/share", "tmpfs"
  std::string target;      // the mount point, absolute
  std::string fileSystem;  // "ext4", "btrfs", "nfs4", "fuse.sshfs", ...
  std::string options;
};

class MountTable {
 public:
  // Reads a file in the /proc/self/mounts format; an unreadable file gives an empty table.
  static MountTable Read(const std::string& mountsFile = "/proc/self/mounts");
  static MountTable Parse(std::string_view text);

  const std::vector<MountEntry>& Entries() const { return entries_; }
  // The mount that holds `absolutePath`: the longest mount point that contains it, the
  // later entry winning when one point was mounted over another. nullptr when none.
  const MountEntry* Containing(std::string_view absolutePath) const;

 private:
  std::vector<MountEntry> entries_;
};

// Kernel and virtual filesystems that hold no user files (tmpfs below /dev, /run and
// /sys included); they never become drives.
bool IsPseudoFilesystem(const MountEntry& entry);

// The kernel's mount files write blanks, tabs, newlines and backslashes as three-digit
// octal escapes ("\040"); this undoes them.
std::string UnescapeMountField(std::string_view field);

// True when `path` equals `root` or lies below it ("/a" holds "/a/b", not "/ab").
bool PathIsWithin(std::string_view path, std::string_view root);

}  // namespace platform
