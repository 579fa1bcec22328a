#pragma once
// Translation between the program's Windows-style paths and host paths.

#include <optional>
#include <string>
#include <string_view>

#include "platform/drive_map.h"

namespace platform {

// The upper-case drive letter of "X:..." or nullopt when the path does not start with one.
std::optional<char> DriveLetterOf(std::string_view windowsPath);

// root(X) + "/a/b" for "X:\a\b". Both '\' and '/' separate components and empty
// components are dropped, as Windows does. Refused (nullopt): no "X:" prefix, a
// drive-relative "X:a", an unmapped letter, a "." or ".." component, a NUL byte.
std::optional<std::string> HostPathOf(const DriveMap& drives, std::string_view windowsPath);

// "X:\a\b" for a host path below a mapped root (the longest root wins); "X:\" for the root
// itself. nullopt when no drive holds it or a component holds '\' (such a name cannot be
// written as a Windows path).
std::optional<std::string> WindowsPathOf(const DriveMap& drives, std::string_view hostPath);

// The host path of the folder holding `hostPath` ("/a/b" -> "/a", "/a" -> "/").
std::string HostParent(std::string_view hostPath);

}  // namespace platform
