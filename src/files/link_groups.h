#pragma once
// The links of each file with several hard links on one drive, gathered for the hints.
//
// One file has one history, but the activity databases key their records by path: an
// open through each link is recorded under that link's path. So every link of a file is
// hinted from the sum of its links' records (counters added, the latest access kept),
// and all of them get the same hint. A file some of whose links the drive's records do
// not hold (outside the scanned folders, or made since) gets no hint: an action must
// take every link at once, or it would empty or rewrite data another link still shows.

#include <cstdint>
#include <unordered_map>

#include "scan/file_traits.h"

namespace scan { class CFolderInfo; }

namespace files {

struct LinkedActivity {
  std::uint32_t linksFound = 0;  // entries of the drive's records that are links to it
  std::uint32_t links = 0;       // the most links any of them counted
  std::uint32_t readOnly = 0;
  std::uint32_t writeOnly = 0;
  std::uint32_t readWrite = 0;
  std::uint32_t lastAccess = 0;
  bool EveryLinkFound() const { return linksFound >= links; }
};

class LinkGroups {
 public:
  LinkGroups() = default;
  // Gathers the links below `drive` (a drive's root record).
  explicit LinkGroups(const scan::CFolderInfo& drive);
  // Gathers the links among the record's own entries.
  void Add(const scan::CFolderInfo& record);
  // The file's links together; nullptr for a file of one link.
  const LinkedActivity* Find(const scan::FileTraits& traits) const;

 private:
  std::unordered_map<scan::FileIdentity, LinkedActivity, scan::FileIdentityHash> groups_;
};

}  // namespace files
