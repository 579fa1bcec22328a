#pragma once
// Every place a filesystem is mounted, as /proc/self/mountinfo lists them. One
// filesystem can be seen through several mounts (bind mounts, a btrfs subvolume mounted
// on its own, a container's view), each showing it from a folder of its own; a file
// reached through one of them has a path through any other that shows its folder.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MountView {
  std::uint64_t device = 0;  // the filesystem's st_dev, the same for all its mounts
  std::string root;          // the folder of the filesystem the mount shows, "/" for all of it
  std::string mountPoint;    // where it is shown, absolute
  std::string fileSystem;    // "ext4", "btrfs", "nfs4", "fuse.sshfs", ...
  bool operator==(const MountView&) const = default;
};

class MountViews {
 public:
  // Reads a file in the /proc/self/mountinfo format; an unreadable file gives no mounts.
  static MountViews Read(const std::string& mountInfoFile = "/proc/self/mountinfo");
  static MountViews Parse(std::string_view text);
  bool operator==(const MountViews&) const = default;

  const std::vector<MountView>& All() const { return views_; }
  // The mount a path lies on: the longest mount point holding it, the later one
  // winning where one was mounted over another. nullptr when none.
  const MountView* Containing(std::string_view hostPath) const;
  // Every mount of the filesystem of `view`, in mount order.
  std::vector<const MountView*> OfFilesystem(const MountView& view) const;
  // The path that `hostPath`, lying on mount `from`, has through mount `into` of the
  // same filesystem; nullopt when `into` does not show its folder.
  static std::optional<std::string> Through(std::string_view hostPath, const MountView& from, const MountView& into);

 private:
  std::vector<MountView> views_;
};

}  // namespace platform
