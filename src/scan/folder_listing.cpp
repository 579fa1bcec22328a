#include "scan/folder_listing.h"

#include <cstdint>
#include <stdexcept>

#include "platform/system.h"

namespace scan {

bool ListedItem::IsFolder() const { return (attributes & platform::kAttrDirectory) != 0; }

bool FolderListing::Read(const platform::System& system, std::string_view folderPath) {
  paths_.assign(folderPath);
  folderPathLength_ = static_cast<std::uint32_t>(folderPath.size());
  items_.clear();
  folderCount_ = 0;
  nameBytes_ = 0;

  const bool listed = system.ListDirectory(folderPath, [&](const platform::FindData& found) {
    if (found.IsDirectory() && !found.name.empty() && found.name.front() == '.') return true;
    paths_.append(folderPath);
    paths_.append(found.name);
    if (paths_.size() > std::uint32_t{0xFFFFFFFF}) throw std::length_error("folder listing too large");
    ListedItem item;
    item.pathEnd = static_cast<std::uint32_t>(paths_.size());
    item.attributes = found.attributes;
    if (found.IsDirectory()) {
      ++folderCount_;
    } else {
      item.size = found.size;
      item.compressedSize = found.compressedSizeValid ? found.compressedSize : found.size;
    }
    nameBytes_ += found.name.size();
    items_.push_back(item);
    return true;
  });
  if (!listed) {
    paths_.resize(folderPathLength_);
    items_.clear();
    folderCount_ = 0;
    nameBytes_ = 0;
  }
  return listed;
}

void FolderListing::ComputeKeys(const activity::NetworkNames& networkNames) {
  keyPaths_.clear();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i].IsFolder()) keyPaths_.push_back(FullPath(i));
  }
  keys_.resize(keyPaths_.size());
  activity::PathKeys(keyPaths_, networkNames, keys_);
  std::size_t next = 0;
  for (ListedItem& item : items_) {
    if (!item.IsFolder()) item.key = keys_[next++];
  }
}

std::string_view FolderListing::FullPath(std::size_t i) const {
  const std::uint32_t begin = i == 0 ? folderPathLength_ : items_[i - 1].pathEnd;
  return std::string_view(paths_).substr(begin, items_[i].pathEnd - begin);
}

}  // namespace scan
