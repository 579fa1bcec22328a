#pragma once
// Whether a record is still part of a tree. Views keep plain pointers to records; after
// a scan replaces a subtree they ask this before touching one again (the pointer is only
// compared, never followed).

#include <string_view>

#include "scan/folder_info.h"

namespace scan {

bool TreeHoldsRecord(const CFolderInfo& root, const CFolderInfo* record);

// The record of `folderPath` ("D:\Work\", the trailing backslash optional) below
// `driveList` as it is now; nullptr when a folder on the way is not there.
CFolderInfo* FindRecord(CFolderInfo& driveList, std::string_view folderPath);

}  // namespace scan
