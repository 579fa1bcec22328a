#pragma once
// Turning command-line drive and path arguments into the program's Windows-style form.

#include <optional>
#include <string>
#include <string_view>

#include "command.h"
#include "platform/drive_map.h"

namespace platform { class System; }

namespace cli {

// "X:" or "X" (either case) → 'X'; nullopt otherwise.
std::optional<char> ParseDriveLetter(std::string_view argument);

// A Windows path ("C:\Work\a.txt") is taken as it is; a host path ("/srv/c/Work/a.txt")
// becomes the Windows path of the mapped drive that holds it. nullopt with `error` set
// when the host path is on no mapped drive or cannot be written as a Windows path.
std::optional<std::string> ToWindowsPath(const platform::DriveMap& drives, std::string_view argument,
                                         std::string* error);

// The folder a command is to read, as a Windows path ending in a backslash; nullopt (with
// the reason on context.err) when the argument is no folder on a mapped drive.
std::optional<std::string> ToWindowsFolder(Context& context, std::string_view argument);

}  // namespace cli
