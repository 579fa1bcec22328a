#pragma once
// What the recorder daemon must know about a host path before it counts an open of it,
// worked out once per path and then remembered: the Windows path, its path key and
// whether it is one of the database files the recorder never counts. A burst of opens
// touches the same files again and again, and the key alone costs microseconds.
//
// A path through another mount of a drive's filesystem (a bind mount, a btrfs subvolume
// mounted apart) is counted on the path the drive itself shows the file by.
//
// Every answer depends only on the host path, the drive map, the mounts, the network
// names and the set of database files, never on the file itself, so a renamed or replaced file cannot
// make an entry stale; Reset must be called whenever the names or the database files may
// have changed (the daemon does so on every release).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "activity/path_key.h"
#include "platform/drive_map.h"
#include "platform/mount_views.h"

namespace activity::recorder {

struct ResolvedPath {
  std::string windowsPath;  // empty when no drive holds the host path
  std::uint64_t key = 0;    // PathKey of windowsPath with the network names of the last Reset
  bool ignored = false;     // a database file (or its temporary)
};

class HostPathCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 65536;

  explicit HostPathCache(const platform::DriveMap& drives, std::size_t capacity = kDefaultCapacity);

  // Later answers use these database files, network names and mounts; the entries are
  // forgotten when any of them differs from the last Reset's.
  void Reset(std::vector<std::string> ignoredHostPaths, const NetworkNames& networkNames,
             platform::MountViews mounts = {});

  // results[i] answers hostPaths[i]. The answers stay valid until the next Resolve or
  // Reset. New keys are computed together, which is much faster than one at a time. When
  // the entries would outgrow the capacity, the cache starts afresh first.
  void Resolve(std::span<const std::string_view> hostPaths, std::vector<const ResolvedPath*>& results);

  std::size_t Size() const { return entries_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  struct DriveMount {
    std::string root;
    platform::MountView mount;  // the mount the drive's root lies on
  };
  // The host path by which the drive holding the file shows it.
  std::string_view ThroughDrive(std::string_view hostPath);

  const platform::DriveMap& drives_;
  platform::MountViews mounts_;
  std::vector<DriveMount> driveMounts_;
  std::string through_;  // ThroughDrive's answer when it is not the path given
  const std::size_t capacity_;
  std::vector<std::string> ignored_;
  NetworkNames networkNames_{};
  std::unordered_map<std::string, ResolvedPath, Hash, std::equal_to<>> entries_;
  // Scratch space for the keys of one Resolve.
  std::vector<ResolvedPath*> pending_;
  std::vector<std::string_view> pendingPaths_;
  std::vector<std::uint64_t> pendingKeys_;
};

}  // namespace activity::recorder
