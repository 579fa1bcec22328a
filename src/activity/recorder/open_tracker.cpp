#include "activity/recorder/open_tracker.h"

namespace activity::recorder {

OpenTracker::State& OpenTracker::StateOf(std::int32_t opener, std::string_view path) {
  const auto found = open_.find(KeyView{opener, path});
  if (found != open_.end()) return found->second;
  return open_[Key{opener, std::string(path)}];
}

void OpenTracker::Opened(std::int32_t opener, std::string_view path, bool forExecution) {
  State& state = StateOf(opener, path);
  state.execution = state.execution || forExecution;
}

void OpenTracker::Read(std::int32_t opener, std::string_view path) {
  // A read with no open seen (the open came before the watch) still means the file was read.
  StateOf(opener, path).read = true;
}

Operation OpenTracker::Closed(std::int32_t opener, std::string_view path, bool wrote) {
  const auto found = open_.find(KeyView{opener, path});
  State state;
  if (found != open_.end()) {
    state = found->second;
    open_.erase(found);
  }
  if (wrote) return state.read ? Operation::ReadWrite : Operation::Write;
  return state.execution ? Operation::Execute : Operation::Read;
}

}  // namespace activity::recorder
