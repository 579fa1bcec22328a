#pragma once
// One folder's directory listing as the scan keeps it between reading and recording:
// every item with its full path, attributes, sizes and (for files) path key.
//
// Folders whose name begins with a dot are left out (that drops "." and ".." and every
// hidden folder); files whose name begins with a dot are kept.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "activity/path_key.h"

namespace platform { class System; }

namespace scan {

struct ListedItem {
  std::uint32_t pathEnd = 0;       // end of the item's full path in the path buffer
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t compressedSize = 0;  // the size itself when the query failed
  std::uint64_t key = 0;             // filled by ComputeKeys for files; 0 for folders
  bool IsFolder() const;
};

class FolderListing {
 public:
  // Lists `folderPath` (ending in a backslash) in the order the host returns it. False
  // when the folder cannot be opened; the listing is then empty.
  bool Read(const platform::System& system, std::string_view folderPath);
  // Computes the path key of every file of the listing.
  void ComputeKeys(const activity::NetworkNames& networkNames);

  std::string_view FolderPath() const { return std::string_view(paths_).substr(0, folderPathLength_); }
  std::size_t Count() const { return items_.size(); }
  const ListedItem& Item(std::size_t i) const { return items_[i]; }
  std::string_view FullPath(std::size_t i) const;
  std::string_view Name(std::size_t i) const { return FullPath(i).substr(folderPathLength_); }
  std::uint32_t FolderCount() const { return folderCount_; }
  std::size_t NameBytes() const { return nameBytes_; }

 private:
  // The folder path, then each item's full path end to end.
  std::string paths_;
  std::uint32_t folderPathLength_ = 0;
  std::vector<ListedItem> items_;
  std::uint32_t folderCount_ = 0;
  std::size_t nameBytes_ = 0;
  // Scratch for the key computation, kept to reuse its capacity.
  std::vector<std::string_view> keyPaths_;
  std::vector<std::uint64_t> keys_;
};

}  // namespace scan
