#pragma once
// A drive path beside the host path it stands for, so that the real place of a file is
// always at hand: "D:\share\man\ = /usr/share/man".

#include <string>

namespace platform { class System; }

namespace files {

// The drive path alone when it names nothing on the host.
std::string WithHostPath(const platform::System& system, const std::string& windowsPath);

}  // namespace files
