#include "activity/recorder/host_path_cache.h"

#include <algorithm>

#include "platform/windows_path.h"

namespace activity::recorder {

HostPathCache::HostPathCache(const platform::DriveMap& drives, std::size_t capacity)
    : drives_(drives), capacity_(std::max<std::size_t>(capacity, 1)) {}

void HostPathCache::Reset(std::vector<std::string> ignoredHostPaths, const NetworkNames& networkNames) {
  entries_.clear();
  ignored_ = std::move(ignoredHostPaths);
  networkNames_ = networkNames;
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
      if (auto windowsPath = platform::WindowsPathOf(drives_, hostPath)) {
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
