#include "activity/recorder/open_tracker.h"

namespace activity::recorder {

std::string OpenTracker::Key(std::int32_t opener, const std::string& path) {
  return std::to_string(opener) + ':' + path;
}

void OpenTracker::Opened(std::int32_t opener, const std::string& path, bool forExecution) {
  State& state = open_[Key(opener, path)];
  state.execution = state.execution || forExecution;
}

void OpenTracker::Read(std::int32_t opener, const std::string& path) {
  const auto found = open_.find(Key(opener, path));
  // A read with no open seen (the open came before the watch) still means the file was read.
  if (found != open_.end()) {
    found->second.read = true;
  } else {
    open_[Key(opener, path)].read = true;
  }
}

Operation OpenTracker::Closed(std::int32_t opener, const std::string& path, bool wrote) {
  const auto found = open_.find(Key(opener, path));
  State state;
  if (found != open_.end()) {
    state = found->second;
    open_.erase(found);
  }
  if (wrote) return state.read ? Operation::ReadWrite : Operation::Write;
  return state.execution ? Operation::Execute : Operation::Read;
}

}  // namespace activity::recorder
