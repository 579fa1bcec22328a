#pragma once
// Records far deeper than a thread's stack holds frames for, and a thread with a small
// stack to walk them on: code that keeps a stack frame per level fails there at once,
// whatever the optimiser makes of its frames.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "scan/folder_info.h"

namespace testing_support {

// The depth the walks over records must take: a hand-off file names up to about 32,000
// levels, a folder tree on disk as many as it likes.
inline constexpr int kDeepChainLevels = 100'000;

// Adds to `driveList` the drive entry `drive` ("D:") holding a chain of `levels` folders
// named "a", the deepest holding one file "f" of `fileSize` bytes; returns the deepest
// folder's record.
scan::CFolderInfo& AddFolderChain(scan::CFolderInfo& driveList, std::string_view drive, int levels,
                                  std::uint64_t fileSize = 10);

// Makes the folder `hostPath` and a chain of `levels` folders named "a" below it, a level
// at a time through descriptors: no path could name its bottom.
void MakeFolderChain(const std::string& hostPath, int levels);

// Runs `work` on a thread with a stack of 1 MB (about 10 bytes per level of a
// kDeepChainLevels chain) and waits for it.
void RunOnSmallStack(const std::function<void()>& work);

}  // namespace testing_support
