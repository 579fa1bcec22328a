#pragma once
// What the overwrite prompt tells beside its question, so that a user can tell their
// edit from the old copy: each version's size and when it was last written.

#include <string>

namespace platform { class System; }

namespace files {

// "12345 bytes, modified 2026-12-09 03:20" (local time) of the file at the Windows path;
// empty when it cannot be examined.
std::string VersionText(const platform::System& system, const std::string& path);

}  // namespace files
