#include "scan/folder_listing.h"

#include <cstdint>
#include <stdexcept>

#include "platform/system.h"

namespace scan {

bool ListedItem::IsFolder() const { return (attributes & platform::kAttrDirectory) != 0; }

bool FolderListing::Read(const platform::System& system, std::string_view folderPath) {
  return ReadIn(system, nullptr, {}, folderPath, nullptr);
}

bool FolderListing::ReadIn(const platform::System& system, const platform::OpenFolder* parent,
                           std::string_view name, std::string_view folderPath,
                           std::unique_ptr<platform::OpenFolder>* opened) {
  text_.assign(folderPath);
  folderPathLength_ = static_cast<std::uint32_t>(folderPath.size());
  items_.clear();
  traits_.clear();
  folderCount_ = 0;

  FileTraits traits;
  const auto visit = [&](const platform::FindData& found) {
    text_.append(found.name);
    if (text_.size() > std::uint32_t{0xFFFFFFFF}) throw std::length_error("folder listing too large");
    ListedItem item;
    item.nameEnd = static_cast<std::uint32_t>(text_.size());
    item.attributes = found.attributes;
    if (found.IsDirectory()) {
      ++folderCount_;
    } else {
      item.size = found.size;
      item.compressedSize = found.compressedSizeValid ? found.compressedSize : found.size;
      if (TraitsOf(found, traits)) {
        traits.entry = static_cast<std::uint32_t>(items_.size());
        traits_.push_back(traits);
      }
    }
    items_.push_back(item);
    return true;
  };
  const bool listed = system.ListDirectoryIn(parent, name, folderPath, visit, opened);
  if (!listed) {
    text_.resize(folderPathLength_);
    items_.clear();
    traits_.clear();
    folderCount_ = 0;
  }
  return listed;
}

std::string_view FolderListing::Name(std::size_t i) const {
  const std::uint32_t begin = i == 0 ? folderPathLength_ : items_[i - 1].nameEnd;
  return std::string_view(text_).substr(begin, items_[i].nameEnd - begin);
}

}  // namespace scan
