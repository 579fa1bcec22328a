#include "files/hint_refresh.h"

#include "platform/system.h"

namespace files {

HintRefresh::HintRefresh(scan::CFolderInfo& driveList, const activity::AppState& state,
                         const platform::System& system)
    : driveList_(driveList), state_(state), system_(system) {}

bool HintRefresh::Advance(Clock::time_point deadline) {
  while (phase_ != Phase::Done) {
    switch (phase_) {
      case Phase::NextDrive: StartNextDrive(); break;
      case Phase::Walk: Walk(); break;
      case Phase::SharedKeys: SearchSharedKeys(); break;
      case Phase::Hints: HintNextRecord(); break;
      case Phase::Done: break;
    }
    if (Clock::now() >= deadline) break;
  }
  return Done();
}

void HintRefresh::StartNextDrive() {
  while (nextDrive_ < driveList_.Count()) {
    scan::CFolderInfo* root = driveList_.GetChild(nextDrive_++);
    if (root == nullptr || root->Count() == 0) continue;
    const std::string path = root->path();
    if (path.empty()) continue;
    const char letter = path[0];
    if (const std::optional<platform::DiskSpace> space = system_.GetDiskFreeSpace(letter)) {
      clusterSize_ = space->ClusterSize();
    }
    drive_ = HintDriveOf(letter, state_);
    records_.clear();
    links_ = LinkGroups();
    unvisited_.assign(1, root);
    phase_ = Phase::Walk;
    return;
  }
  phase_ = Phase::Done;
}

void HintRefresh::Walk() {
  scan::CFolderInfo& record = *unvisited_.back();
  unvisited_.pop_back();
  records_.push_back(&record);
  links_.Add(record);
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    if (scan::CFolderInfo* child = record.GetChild(i)) unvisited_.push_back(child);
  }
  if (!unvisited_.empty()) return;
  search_.emplace(std::vector<const scan::CFolderInfo*>(records_.begin(), records_.end()));
  phase_ = Phase::SharedKeys;
}

void HintRefresh::SearchSharedKeys() {
  if (!search_->Step()) return;
  sharedKeys_ = std::move(*search_).Result();
  search_.reset();
  drive_.sharedKeys = &sharedKeys_;
  unhinted_ = records_.size();
  phase_ = Phase::Hints;
}

void HintRefresh::HintNextRecord() {
  scan::CFolderInfo& record = *records_[--unhinted_];
  for (std::uint32_t i = 0; i < record.Count(); ++i) {
    record.hints()[i] = ComputeHint(record, i, clusterSize_, drive_, &links_);
  }
  if (unhinted_ == 0) phase_ = Phase::NextDrive;
}

void RefreshHints(scan::CFolderInfo& driveList, const activity::AppState& state,
                  const platform::System& system) {
  HintRefresh refresh(driveList, state, system);
  refresh.Advance(HintRefresh::Clock::time_point::max());
}

}  // namespace files
