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
  std::unordered_set<FileIdentity, FileIdentityHash> seen_;
};

// Marks the later links of every file below `drive` (a drive's root record) in the order
// a scan of the whole drive meets them: a folder's entries in turn, then its subfolders'.
// Needed after a scan of part of a drive, whose own marks knew nothing of the rest.
// True when any mark changed (the totals then need summing again).
bool MarkLaterLinks(CFolderInfo& drive);

}  // namespace scan
