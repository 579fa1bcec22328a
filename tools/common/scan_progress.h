#pragma once
// A scan's running counts on a progress line.

#include "progress_line.h"
#include "progress_text.h"
#include "scan/scan_tally.h"

namespace tools {

class ScanProgress final : public scan::ScanWatcher {
 public:
  explicit ScanProgress(ProgressLine& line) : line_(line) {}
  void Counted(const scan::ScanTally& tally) override {
    if (!line_.Due()) return;
    line_.Show(ScanProgressText(tally, line_.Elapsed()));
    line_.Tick();
  }

 private:
  ProgressLine& line_;
};

}  // namespace tools
