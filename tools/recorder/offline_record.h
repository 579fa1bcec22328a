#pragma once
// norvex-recorder record: adds accesses straight into the databases while no daemon runs.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/system.h"

namespace recorder_tool {

int RunRecord(platform::System& system, const std::vector<std::string>& args, std::ostream& out,
              std::ostream& err);

}  // namespace recorder_tool
