#pragma once
// A file with several hard links counts once per drive: the first of its links a walk
// meets carries its data, and every later one adds nothing to any total.

#include <cstddef>
#include <cstdint>
#include <unordered_set>

#include "scan/file_traits.h"

namespace scan {

class CFolderInfo;

// The files with several links met so far. Only those cost memory here: a drive's
// ordinary files never enter it.
class LinkTally {
 public:
  // True for the first link of its file met so far (and for a file of one link).
  bool FirstLink(const FileTraits& traits);

 private:
  struct Identity {
    std::uint64_t device;
    std::uint64_t inode;
    bool operator==(const Identity&) const = default;
  };
  struct IdentityHash {
    std::size_t operator()(const Identity& identity) const {
      return std::hash<std::uint64_t>()(identity.inode * 0x9E3779B97F4A7C15ull ^ identity.device);
    }
  };
  std::unordered_set<Identity, IdentityHash> seen_;
};

// Marks the later links of every file below `drive` (a drive's root record) in the order
// a scan of the whole drive meets them: a folder's entries in turn, then its subfolders'.
// Needed after a scan of part of a drive, whose own marks knew nothing of the rest.
// True when any mark changed (the totals then need summing again).
bool MarkLaterLinks(CFolderInfo& drive);

}  // namespace scan
