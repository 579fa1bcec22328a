#pragma once
// What the daemon hears from the kernel about opened files, from fanotify or inotify.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace recorder_tool {

struct FileEvent {
  enum class Kind { Open, OpenForExecution, Access, CloseWritten, CloseUnwritten };
  Kind kind;
  std::int32_t pid;  // 0 when the source cannot tell
  std::uint32_t pathAt, pathSize;  // the host path, in the batch's paths
};

// What one read brings. The paths live in one text per batch, so a batch can be handed
// from the reading thread to the counting one in a single move.
struct EventBatch {
  std::string paths;
  std::vector<FileEvent> events;

  std::string_view PathOf(const FileEvent& event) const {
    return std::string_view(paths).substr(event.pathAt, event.pathSize);
  }
  // Appends an event for the host path that ends the paths text, from `at` on.
  void Add(FileEvent::Kind kind, std::int32_t pid, std::size_t at) {
    events.push_back({kind, pid, static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(paths.size() - at)});
  }
  void Clear() {
    paths.clear();
    events.clear();
  }
};

// How one watched root is watched, for the log: "filesystem mark (file handles)",
// "folder watches", "no mark (refused: ...)".
struct RootWatch {
  std::string how;
  bool watched = false;
};

class EventSource {
 public:
  virtual ~EventSource() = default;
  virtual const char* Name() const = 0;
  // Watches everything below these host folders, replacing earlier watches; one answer
  // per root. Folders watched before and still wanted stay watched without a gap, so a
  // release that leaves the watched drives as they were loses no open. A root that could
  // not be watched is tried again at the next call.
  virtual std::vector<RootWatch> Watch(const std::vector<std::string>& roots) = 0;
  // Descriptor to poll for readability.
  virtual int Descriptor() const = 0;
  // Fills `batch` with what one read brings, without blocking (the reader polls again
  // for more).
  virtual void Drain(EventBatch& batch) = 0;
  // Events the kernel reported lost (queue overflow). Drain, Watch and these counters
  // are called from one thread at a time.
  virtual std::uint64_t Dropped() const = 0;
  // Events read from the kernel so far (a merged event counts once).
  virtual std::uint64_t Received() const = 0;
};

// fanotify with filesystem marks (or, where the kernel refuses them, marks on every mount
// of the filesystem), so that opens through any mount count; nullptr (with `error`)
// without the privilege or the kernel support.
std::unique_ptr<EventSource> MakeFanotifySource(std::string* error);
// inotify, a watch per folder; works unprivileged.
std::unique_ptr<EventSource> MakeInotifySource(std::string* error);

}  // namespace recorder_tool
