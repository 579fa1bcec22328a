#pragma once
// Whether a record is still part of a tree. Views keep plain pointers to records; after
// a scan replaces a subtree they ask this before touching one again (the pointer is only
// compared, never followed).

#include "scan/folder_info.h"

namespace scan {

bool TreeHoldsRecord(const CFolderInfo& root, const CFolderInfo* record);

}  // namespace scan
