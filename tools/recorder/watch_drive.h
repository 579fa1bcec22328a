#pragma once
// norvex-recorder watch: gives drives a database (a drive record and an empty access
// table), for scripts and the demo machine, without the program's configuration pages.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/system.h"

namespace recorder_tool {

int RunWatch(platform::System& system, const std::vector<std::string>& args, std::ostream& err);

}  // namespace recorder_tool
