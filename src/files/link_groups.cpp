#include "files/link_groups.h"

#include <algorithm>

#include "scan/folder_info.h"
#include "scan/record_walk.h"

namespace files {

LinkGroups::LinkGroups(const scan::CFolderInfo& drive) {
  scan::ForEachRecord(drive, [this](const scan::CFolderInfo& record) { Add(record); });
}

void LinkGroups::Add(const scan::CFolderInfo& record) {
  for (const scan::FileTraits& traits : record.AllTraits()) {
    if (!traits.SeveralLinks()) continue;
    LinkedActivity& group = groups_[scan::FileIdentity::Of(traits)];
    const std::uint32_t i = traits.entry;
    ++group.linksFound;
    group.links = std::max(group.links, traits.links);
    group.readOnly += record.readOnlyCounts()[i];
    group.writeOnly += record.writeOnlyCounts()[i];
    group.readWrite += record.readWriteCounts()[i];
    group.lastAccess = std::max(group.lastAccess, record.lastAccess()[i]);
  }
}

const LinkedActivity* LinkGroups::Find(const scan::FileTraits& traits) const {
  if (!traits.SeveralLinks()) return nullptr;
  const auto found = groups_.find(scan::FileIdentity::Of(traits));
  return found == groups_.end() ? nullptr : &found->second;
}

}  // namespace files
