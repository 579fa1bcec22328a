#pragma once
// norvex-recorder record --covered FROM TO DRIVE...: declares that the drives were
// recorded from FROM to TO (a demo, an import, a script), as one cleanly stopped period.

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/system.h"

namespace recorder_tool {

// True when `args` asks for a declaration rather than counts.
bool DeclaresCoverage(const std::vector<std::string>& args);
int RunDeclareCoverage(platform::System& system, const std::vector<std::string>& args, std::ostream& err);

}  // namespace recorder_tool
