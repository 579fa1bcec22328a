#pragma once
// The two ways of reading fanotify, each a group of its own with its own marks. The
// handle group names each file by its folder's handle and its name (no descriptor per
// event) but needs a filesystem mark; the descriptor group takes whatever mark the
// kernel allows (a btrfs subvolume refuses file handles) at the cost of a descriptor
// per event.

#include <cstdint>
#include <memory>
#include <string>

#include "activity/recorder/drive_marks.h"
#include "event_source.h"

namespace recorder_tool {

class FanotifyGroup : public activity::recorder::MarkLayer {
 public:
  virtual int Descriptor() const = 0;
  // Appends what one read brings to `batch`, without blocking.
  virtual void Read(EventBatch& batch) = 0;
  virtual void Unmark(activity::recorder::MarkScope scope, const std::string& path) = 0;
  virtual std::uint64_t Dropped() const = 0;
  virtual std::uint64_t Received() const = 0;
};

// nullptr (with `error`) without the privilege or the kernel support.
std::unique_ptr<FanotifyGroup> MakeFanotifyHandleGroup(std::string* error);
std::unique_ptr<FanotifyGroup> MakeFanotifyDescriptorGroup(std::string* error);

}  // namespace recorder_tool
