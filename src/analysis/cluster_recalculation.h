#pragma once
// Recalculating actual sizes for another cluster size: a folder's (or a drive's) whole
// subtree, or chosen entries of one folder; then every total of the drive follows.
// Nothing on disk changes, and the next scan uses the drive's real cluster size again.

#include <cstdint>
#include <span>

namespace scan { class CFolderInfo; }
namespace common { class StatusSink; }

namespace analysis {

void RecalculateFolder(scan::CFolderInfo& folder, std::uint64_t clusterSize,
                       common::StatusSink& status);
// `selected` in list order; indices past the folder's entries are skipped.
void RecalculateEntries(scan::CFolderInfo& folder, std::span<const std::uint32_t> selected,
                        std::uint64_t clusterSize, common::StatusSink& status);

}  // namespace analysis
