#include "event_records.h"

#include <cstring>

namespace recorder_tool {

bool FanotifyEventWalk::Next(FanotifyNamedEvent& event) {
  if (offset_ + FAN_EVENT_METADATA_LEN > size_) return false;
  event = FanotifyNamedEvent{};
  std::memcpy(&event.metadata, bytes_ + offset_, sizeof event.metadata);
  const std::size_t length = event.metadata.event_len;
  if (length < FAN_EVENT_METADATA_LEN || length > size_ - offset_) {
    offset_ = size_;
    return false;
  }
  const char* bytes = bytes_ + offset_;
  offset_ += length;

  bool found = false;
  std::size_t at = event.metadata.metadata_len;
  while (at + sizeof(fanotify_event_info_header) <= length) {
    fanotify_event_info_header header;
    std::memcpy(&header, bytes + at, sizeof header);
    if (header.len == 0 || header.len > length - at) return true;
    if (header.info_type == FAN_EVENT_INFO_TYPE_DFID_NAME) {
      if (header.len > sizeof record_ || header.len < sizeof(fanotify_event_info_fid) + sizeof(file_handle)) {
        return true;
      }
      std::memcpy(record_, bytes + at, header.len);
      found = true;
    }
    at += header.len;
  }
  if (!found) return true;
  const auto* info = reinterpret_cast<const fanotify_event_info_fid*>(record_);
  const auto* handle = reinterpret_cast<const file_handle*>(info->handle);
  // The handle and the name share what the record has after its fixed parts.
  const std::size_t room = info->hdr.len - sizeof(fanotify_event_info_fid) - sizeof(file_handle);
  if (handle->handle_bytes >= room) return true;
  const char* name = reinterpret_cast<const char*>(handle->f_handle) + handle->handle_bytes;
  event.named = true;
  event.fsid = info->fsid;
  event.handle = handle;
  event.name = std::string_view(name, ::strnlen(name, room - handle->handle_bytes));
  return true;
}

bool InotifyEventWalk::Next(InotifyRecord& record) {
  if (offset_ + sizeof(inotify_event) > size_) return false;
  inotify_event event;
  std::memcpy(&event, bytes_ + offset_, sizeof event);
  const std::size_t nameAt = offset_ + sizeof event;
  if (event.len > size_ - nameAt) {
    offset_ = size_;
    return false;
  }
  offset_ = nameAt + event.len;
  record.wd = event.wd;
  record.mask = event.mask;
  // The name is NUL-padded to its length; a name without its NUL ends with the event.
  const char* name = bytes_ + nameAt;
  record.name = std::string_view(name, ::strnlen(name, event.len));
  return true;
}

}  // namespace recorder_tool
