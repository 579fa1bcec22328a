#pragma once
// Mount marks shared by both ways of reading fanotify: a new watch list removes the
// marks of roots that are no longer on it and keeps the others as they are, so opens
// on unchanged drives are never missed while the list changes.

#include <sys/fanotify.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <vector>

namespace recorder_tool {

inline void UnmarkDroppedRoots(int fd, std::uint64_t mask, const std::vector<std::string>& roots,
                               std::vector<std::string>& marked) {
  for (auto it = marked.begin(); it != marked.end();) {
    if (std::find(roots.begin(), roots.end(), *it) != roots.end()) {
      ++it;
      continue;
    }
    ::fanotify_mark(fd, FAN_MARK_REMOVE | FAN_MARK_MOUNT, mask, AT_FDCWD, it->c_str());
    it = marked.erase(it);
  }
}

}  // namespace recorder_tool
