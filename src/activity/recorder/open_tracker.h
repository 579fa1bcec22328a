#pragma once
// Turns a watcher's per-file events into counted opens. Neither fanotify nor inotify
// tells the mode a file was opened with, so it is read from what happened between the
// open and the close: a close without writing is a read-only open (an execution when the
// open was for executing); a close after writing is read-and-write when the file was also
// read, else write-only.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "activity/recorder/operation.h"

namespace activity::recorder {

class OpenTracker {
 public:
  // `opener` tells processes apart where the watcher knows them (fanotify); inotify
  // passes 0 for every event.
  void Opened(std::int32_t opener, const std::string& path, bool forExecution);
  void Read(std::int32_t opener, const std::string& path);
  // The operation the finished open counts as.
  Operation Closed(std::int32_t opener, const std::string& path, bool wrote);
  std::size_t OpenCount() const { return open_.size(); }

 private:
  struct State {
    bool read = false;
    bool execution = false;
  };
  static std::string Key(std::int32_t opener, const std::string& path);
  std::unordered_map<std::string, State> open_;
};

}  // namespace activity::recorder
