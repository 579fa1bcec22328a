#include "ui/views/hint_refresher.h"

#include <chrono>

#include "files/hint_refresh.h"

namespace ui {
namespace {

// Long enough that the clock checks cost nothing, short enough that keys and paints
// between slices feel immediate.
constexpr std::chrono::milliseconds kSlice{25};

}  // namespace

HintRefresher::HintRefresher(const activity::AppState& state, const platform::System& system,
                             scan::ScanController& scanner, QObject* parent)
    : QObject(parent), state_(state), system_(system), scanner_(scanner) {
  slices_.setInterval(0);
  connect(&slices_, &QTimer::timeout, this, &HintRefresher::Slice);
}

HintRefresher::~HintRefresher() = default;

void HintRefresher::Start(scan::CFolderInfo& driveList) {
  // A scan's hand-over would replace records the refresh has yet to reach.
  if (refresh_ == nullptr) hold_ = scanner_.HoldRecords();
  refresh_ = std::make_unique<files::HintRefresh>(driveList, state_, system_);
  slices_.start();
}

void HintRefresher::Finish() {
  if (refresh_ == nullptr) return;
  refresh_->Advance(files::HintRefresh::Clock::time_point::max());
  End();
}

void HintRefresher::Slice() {
  if (refresh_ != nullptr && !refresh_->Advance(files::HintRefresh::Clock::now() + kSlice)) return;
  End();
}

void HintRefresher::End() {
  slices_.stop();
  refresh_.reset();
  hold_.Release();
  emit finished();
}

}  // namespace ui
