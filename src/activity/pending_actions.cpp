#include "activity/pending_actions.h"

#include <algorithm>

namespace activity {

void LowerPendingActionCount(std::atomic<std::uint32_t>& pending, std::uint32_t by) {
  std::uint32_t count = pending.load();
  while (!pending.compare_exchange_weak(count, count - std::min(count, by))) {
  }
}

}  // namespace activity
