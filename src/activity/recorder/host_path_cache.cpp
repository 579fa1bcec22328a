#include "activity/recorder/host_path_cache.h"

#include <algorithm>

#include "platform/mount_table.h"
#include "platform/windows_path.h"

namespace activity::recorder {

HostPathCache::HostPathCache(const platform::DriveMap& drives, std::size_t capacity)
    : drives_(drives), capacity_(std::max<std::size_t>(capacity, 1)) {}

void HostPathCache::Reset(std::vector<std::string> ignoredHostPaths, const NetworkNames& networkNames,
                          platform::MountViews mounts) {
  // A release mostly gives back what the hold took: the answers then stand, and the keys
  // of the files a burst keeps opening are not computed again after every hold.
  if (ignoredHostPaths == ignored_ && networkNames == networkNames_ && mounts == mounts_) return;
  entries_.clear();
  ignored_ = std::move(ignoredHostPaths);
  networkNames_ = networkNames;
  mounts_ = std::move(mounts);
  driveMounts_.clear();
  for (const platform::MappedDrive& drive : drives_.All()) {
    if (const platform::MountView* mount = mounts_.Containing(drive.root)) driveMounts_.push_back({drive.root, *mount});
  }
}

std::string_view HostPathCache::ThroughDrive(std::string_view hostPath) {
  const platform::MountView* mount = mounts_.Containing(hostPath);
  if (mount == nullptr) return hostPath;
  const platform::MappedDrive* owner = drives_.Owner(hostPath);
  // The deepest drive whose own mount shows the file; the path as given when the drive
  // that holds it shows it through the very mount it came by.
  const DriveMount* best = nullptr;
  for (const DriveMount& drive : driveMounts_) {
    if (drive.mount.device != mount->device) continue;
    if (owner != nullptr && drive.root == owner->root && drive.mount.mountPoint == mount->mountPoint) return hostPath;
    const auto through = platform::MountViews::Through(hostPath, *mount, drive.mount);
    if (!through || !platform::PathIsWithin(*through, drive.root)) continue;
    if (best == nullptr || drive.root.size() > best->root.size()) {
      best = &drive;
      through_ = *through;
    }
  }
  return best == nullptr ? hostPath : std::string_view(through_);
}

void HostPathCache::Resolve(std::span<const std::string_view> hostPaths,
                            std::vector<const ResolvedPath*>& results) {
  // Starting afresh only here keeps every answer of one call valid while it is used.
  if (entries_.size() + hostPaths.size() > capacity_) entries_.clear();
  results.clear();
  pending_.clear();
  pendingPaths_.clear();
  for (const std::string_view hostPath : hostPaths) {
    auto found = entries_.find(hostPath);
    if (found == entries_.end()) {
      ResolvedPath resolved;
      resolved.ignored = std::find(ignored_.begin(), ignored_.end(), hostPath) != ignored_.end();
      if (auto windowsPath = platform::WindowsPathOf(drives_, ThroughDrive(hostPath))) {
        resolved.windowsPath = std::move(*windowsPath);
      }
      found = entries_.emplace(std::string(hostPath), std::move(resolved)).first;
      if (!found->second.ignored && !found->second.windowsPath.empty()) {
        pending_.push_back(&found->second);
        pendingPaths_.push_back(found->second.windowsPath);
      }
    }
    results.push_back(&found->second);
  }
  if (pending_.empty()) return;
  pendingKeys_.resize(pending_.size());
  PathKeys(pendingPaths_, networkNames_, pendingKeys_);
  for (std::size_t i = 0; i < pending_.size(); ++i) pending_[i]->key = pendingKeys_[i];
}

}  // namespace activity::recorder
