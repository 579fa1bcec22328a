#include "analysis/cluster_recalculation.h"

#include "scan/folder_info.h"
#include "common/status_sink.h"

namespace analysis {
namespace {

// Shows the work in the message pane, busy, for as long as it lasts.
class RecalculatingNotice {
 public:
  explicit RecalculatingNotice(common::StatusSink& status) : status_(status) {
    status_.SetBusy(true);
    status_.ShowStatus("Recalculating drive information ...");
  }
  ~RecalculatingNotice() {
    status_.ShowIdle();
    status_.SetBusy(false);
  }
  RecalculatingNotice(const RecalculatingNotice&) = delete;
  RecalculatingNotice& operator=(const RecalculatingNotice&) = delete;

 private:
  common::StatusSink& status_;
};

}  // namespace

void RecalculateFolder(scan::CFolderInfo& folder, std::uint64_t clusterSize,
                       common::StatusSink& status) {
  const RecalculatingNotice notice(status);
  folder.Recalculate(clusterSize);
  folder.DriveRecord().Reaggregate();
}

void RecalculateEntries(scan::CFolderInfo& folder, std::span<const std::uint32_t> selected,
                        std::uint64_t clusterSize, common::StatusSink& status) {
  const RecalculatingNotice notice(status);
  for (const std::uint32_t i : selected) {
    if (i < folder.Count()) folder.RecalculateEntry(i, clusterSize);
  }
  folder.DriveRecord().Reaggregate();
}

}  // namespace analysis
