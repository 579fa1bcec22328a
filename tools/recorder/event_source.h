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
  std::string_view hostPath;  // valid until the source's next Drain
};

class EventSource {
 public:
  virtual ~EventSource() = default;
  virtual const char* Name() const = 0;
  // Watches everything below these host folders, replacing earlier watches. Folders
  // watched before and still wanted stay watched without a gap, so a release that leaves
  // the watched drives as they were loses no open.
  virtual bool Watch(const std::vector<std::string>& roots, std::string* error) = 0;
  // Descriptor to poll for readability.
  virtual int Descriptor() const = 0;
  // Replaces `events` by what one read brings, without blocking (the daemon polls again
  // for more). The paths point into the source and last until the next Drain.
  virtual void Drain(std::vector<FileEvent>& events) = 0;
  // Events the kernel reported lost (queue overflow).
  virtual std::uint64_t Dropped() const = 0;
  // Events read from the kernel so far (a merged event counts once).
  virtual std::uint64_t Received() const = 0;
};

// fanotify with mount marks, reporting each file by its folder's handle and its name (no
// descriptor to open, read the path of and close per event); nullptr (with `error`)
// without the privilege or the kernel support.
std::unique_ptr<EventSource> MakeFanotifySource(std::string* error);
// fanotify with mount marks and a descriptor per event: slower, but needs no file handles.
std::unique_ptr<EventSource> MakeFanotifyDescriptorSource(std::string* error);
// inotify, a watch per folder; works unprivileged.
std::unique_ptr<EventSource> MakeInotifySource(std::string* error);

}  // namespace recorder_tool
