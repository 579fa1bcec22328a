#pragma once
// The events of one read from the kernel's watch descriptors, walked apart from the
// reading so that the walk can be tried on any bytes. The kernel writes whole events,
// but every length in them is checked against what was read all the same: a garbled
// event ends the walk, a garbled record drops the name it should carry, and nothing is
// ever read outside the bytes.

#include <sys/fanotify.h>
#include <sys/inotify.h>

#include <fcntl.h>
#include <linux/limits.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace recorder_tool {

// An event of a fanotify descriptor that reports files by their folder's handle and their
// name (FAN_REPORT_DFID_NAME).
struct FanotifyNamedEvent {
  fanotify_event_metadata metadata{};
  // The folder's filesystem, handle and the file's name; set only when the event carried
  // a whole such record (`handle` points into the walk, valid until its next step).
  bool named = false;
  __kernel_fsid_t fsid{};
  const file_handle* handle = nullptr;
  std::string_view name;
};

class FanotifyEventWalk {
 public:
  FanotifyEventWalk(const char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  // The next event; false at the end. Events with names have lengths that are no
  // multiple of 8, so the ones after them sit unaligned: each part is copied out before
  // it is looked at.
  bool Next(FanotifyNamedEvent& event);

 private:
  const char* bytes_;
  std::size_t size_;
  std::size_t offset_ = 0;
  // The record naming the file, copied to aligned memory (a handle and a name at most).
  alignas(fanotify_event_info_fid) char record_[sizeof(fanotify_event_info_fid) + sizeof(file_handle) +
                                                MAX_HANDLE_SZ + NAME_MAX + 1];
};

// An event of an inotify descriptor.
struct InotifyRecord {
  std::int32_t wd = 0;
  std::uint32_t mask = 0;
  std::string_view name;  // empty for events on the watched folder itself
};

class InotifyEventWalk {
 public:
  InotifyEventWalk(const char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool Next(InotifyRecord& record);

 private:
  const char* bytes_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

}  // namespace recorder_tool
