#pragma once
// The hint switches the "Hint options" dialog edits; part of the shared state.

namespace common {

// Four switches, all on, edited by the "Hint options" dialog and kept for the run. No
// rule consults them: which rules each should switch is not settled.
struct HintOptions {
  bool byAccessType = true;
  bool byLastAccess = true;
  bool bySize = true;
  bool byUsedPercent = true;
  bool operator==(const HintOptions&) const = default;
};

}  // namespace common
