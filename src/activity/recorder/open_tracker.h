#pragma once
// Turns a watcher's per-file events into counted opens. Neither fanotify nor inotify
// tells the mode a file was opened with, so it is read from what happened between the
// open and the close: a close without writing is a read-only open (an execution when the
// open was for executing); a close after writing is read-and-write when the file was also
// read, else write-only.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "activity/recorder/operation.h"

namespace activity::recorder {

class OpenTracker {
 public:
  // `opener` tells processes apart where the watcher knows them (fanotify); inotify
  // passes 0 for every event.
  void Opened(std::int32_t opener, std::string_view path, bool forExecution);
  void Read(std::int32_t opener, std::string_view path);
  // The operation the finished open counts as.
  Operation Closed(std::int32_t opener, std::string_view path, bool wrote);
  std::size_t OpenCount() const { return open_.size(); }

 private:
  struct State {
    bool read = false;
    bool execution = false;
  };
  // Looked up by a view so that the daemon's hot path allocates only for a new open.
  struct KeyView {
    std::int32_t opener;
    std::string_view path;
  };
  struct Key {
    std::int32_t opener;
    std::string path;
  };
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(const KeyView& key) const {
      return std::hash<std::string_view>{}(key.path) ^ (static_cast<std::size_t>(key.opener) * 0x9E3779B97F4A7C15ull);
    }
    std::size_t operator()(const Key& key) const { return (*this)(KeyView{key.opener, key.path}); }
  };
  struct Equal {
    using is_transparent = void;
    static KeyView View(const Key& key) { return {key.opener, key.path}; }
    static KeyView View(const KeyView& key) { return key; }
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
      return View(a).opener == View(b).opener && View(a).path == View(b).path;
    }
  };
  State& StateOf(std::int32_t opener, std::string_view path);
  std::unordered_map<Key, State, Hash, Equal> open_;
};

}  // namespace activity::recorder
