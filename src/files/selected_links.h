#pragma once
// How many names of each file with several hard links a run changes the same way: a
// file's compression is one for all its names, so it changes only when the run covers
// every one of them.

#include <cstdint>
#include <map>
#include <optional>
#include <tuple>

#include "scan/folder_info.h"

namespace files {

class SelectedLinks {
 public:
  // Tallies the selected actions below `root`; only entries with several links cost.
  static SelectedLinks Of(scan::CFolderInfo& root);
  // The names of entry i's file selected for entry i's action; 1 for a file with one name.
  std::uint64_t NamesInRun(const scan::CFolderInfo& record, std::uint32_t i) const;

 private:
  using Key = std::tuple<std::uint64_t, std::uint64_t, std::uint8_t>;  // device, inode, action
  static std::optional<Key> KeyOf(const scan::CFolderInfo& record, std::uint32_t i);

  std::map<Key, std::uint64_t> names_;
};

}  // namespace files
