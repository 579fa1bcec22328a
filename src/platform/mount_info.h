#pragma once
// The host's mounts as /proc/self/mountinfo lists them: unlike the mounts file, it tells
// which filesystem each mount shows (its device) and which folder of it (its root), so
// that a bind mount can be told from the filesystem it repeats.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MountInfoEntry {
  std::uint64_t mountId = 0;
  std::string device;        // "8:1": the filesystem's device number, major:minor
  std::string root;          // the filesystem's folder shown here, "/" for all of it
  std::string target;        // the mount point, absolute
  std::string options;       // this mount's options ("rw,relatime")
  std::string fileSystem;    // "ext4", "overlay", "nfs4", ...
  std::string source;        // "/dev/sda1", "//server/share", "overlay"
  std::string superOptions;  // the filesystem's own options
  bool ReadOnly() const;     // by this mount's options or the filesystem's
};

// Lines that do not have the mountinfo layout are skipped.
std::vector<MountInfoEntry> ParseMountInfo(std::string_view text);

}  // namespace platform
