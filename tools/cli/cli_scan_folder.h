#pragma once
// Scanning one folder as the window's start-up and scan would, for the commands that
// print what the window shows of it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "command.h"
#include "scan/folder_info.h"
#include "activity/app_state.h"

namespace cli {

struct ScannedFolder {
  std::unique_ptr<activity::AppState> state = std::make_unique<activity::AppState>();
  scan::CFolderInfo driveList;
  scan::CFolderInfo* folder = nullptr;
  std::string path;  // "D:\Work\"
};

// Loads the databases, scans `argument` and, when `hints`, computes the hints; `now` is
// the start-up stamp (UTC) or nullopt for the clock. nullptr with the reason on
// context.err; `exitCode` then says which.
std::unique_ptr<ScannedFolder> ScanFolder(Context& context, const std::string& argument,
                                          std::optional<std::uint32_t> now, bool hints, bool quiet,
                                          int& exitCode);

}  // namespace cli
