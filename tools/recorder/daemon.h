#pragma once
// norvex-recorder run: the recorder daemon.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/system.h"

namespace recorder_tool {

int RunDaemon(platform::System& system, const platform::Environment& environment,
              const std::vector<std::string>& args, std::ostream& err);

}  // namespace recorder_tool
