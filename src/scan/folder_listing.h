#pragma once
// One folder's directory listing as the scan keeps it between reading and recording:
// every item with its name, attributes, sizes and (for files) path key, and the traits
// of the few files that have any.
//
// Every item the host lists is kept: a name that begins with a dot is an ordinary name
// (the host never lists "." and "..").

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scan/file_traits.h"

namespace platform {
class OpenFolder;
class System;
}  // namespace platform

namespace scan {

struct ListedItem {
  std::uint32_t nameEnd = 0;       // end of the item's name in the text buffer
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;  // the size itself when the query failed
  std::uint64_t key = 0;             // set by SetKey for files; 0 for folders
  bool IsFolder() const;
};

class FolderListing {
 public:
  // Lists `folderPath` (ending in a backslash) in the order the host returns it. False
  // when the folder cannot be opened; the listing is then empty.
  bool Read(const platform::System& system, std::string_view folderPath);
  // Read of `folderPath`, the folder `name` inside `parent` (null: by its path), holding
  // the folder open in `*opened` (when given) for the folders below it.
  bool ReadIn(const platform::System& system, const platform::OpenFolder* parent, std::string_view name,
              std::string_view folderPath, std::unique_ptr<platform::OpenFolder>* opened);

  // Sets the path key of file `i`.
  void SetKey(std::size_t i, std::uint64_t key) { items_[i].key = key; }

  std::string_view FolderPath() const { return std::string_view(text_).substr(0, folderPathLength_); }
  std::size_t Count() const { return items_.size(); }
  const ListedItem& Item(std::size_t i) const { return items_[i]; }
  std::string_view Name(std::size_t i) const;
  std::uint32_t FolderCount() const { return folderCount_; }
  std::size_t NameBytes() const { return text_.size() - folderPathLength_; }
  // The traits of the items that have any, in item order.
  std::span<const FileTraits> Traits() const { return traits_; }
  // Heap bytes its buffers hold.
  std::size_t HeldBytes() const {
    return text_.capacity() + items_.capacity() * sizeof(ListedItem) + traits_.capacity() * sizeof(FileTraits);
  }

 private:
  // The folder path, then the items' names end to end: a deep folder's path is kept
  // once, not once per item, so listings in flight stay small.
  std::string text_;
  std::uint32_t folderPathLength_ = 0;
  std::vector<ListedItem> items_;
  std::vector<FileTraits> traits_;
  std::uint32_t folderCount_ = 0;
};

}  // namespace scan
