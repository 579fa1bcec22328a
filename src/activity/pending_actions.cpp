#include "activity/pending_actions.h"

#include <algorithm>

#include "activity/app_state.h"

namespace activity {

void LowerPendingActionCount(AppState& state, std::uint32_t by) {
  std::uint32_t pending = state.PendingActionCount.load();
  while (!state.PendingActionCount.compare_exchange_weak(pending, pending - std::min(pending, by))) {
  }
}

}  // namespace activity
