#include "files/action_outcome.h"

namespace files {

void ActionTally::Count(ActionOutcome outcome) {
  switch (outcome) {
    case ActionOutcome::Done: ++done_; break;
    case ActionOutcome::Skipped: ++skipped_; break;
    case ActionOutcome::Failed: ++failed_; break;
  }
}

std::string ActionTally::Summary() const {
  return std::to_string(done_) + " action(s) done, " + std::to_string(failed_) + " failed, " +
         std::to_string(skipped_) +
         " skipped.\nThe actions that failed or were skipped stay selected.";
}

}  // namespace files
