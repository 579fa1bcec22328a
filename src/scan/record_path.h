#pragma once
// Reaching a folder's record from the drive list by path, for callers that scan a
// path rather than a tree item (norvex-cli, benchmarks, tests).

#include <string_view>

#include "scan/folder_info.h"

namespace scan {

// The record of `folderPath` ("D:\Work\", the trailing backslash optional) below
// `driveList`, adding the drive entry and the folder entries on the way that are missing
// (as never-read folders).
CFolderInfo& RecordForPath(CFolderInfo& driveList, std::string_view folderPath);

}  // namespace scan
