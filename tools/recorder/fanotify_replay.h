#pragma once
// The kinds one fanotify event stands for, in the order they happened. The kernel merges
// a process's unread events on one file into one event whose mask holds them all.

#include <sys/fanotify.h>

#include <cstdint>

#include "event_source.h"

namespace recorder_tool {

template <typename Push>
void ReplayFanotifyMask(std::uint64_t mask, Push push) {
  if (mask & FAN_OPEN_EXEC) {
    push(FileEvent::Kind::OpenForExecution);
  } else if (mask & FAN_OPEN) {
    push(FileEvent::Kind::Open);
  }
  // Opens closed both with and without writing count once each, the unwritten ones first.
  if ((mask & FAN_CLOSE_WRITE) && (mask & FAN_CLOSE_NOWRITE)) {
    push(FileEvent::Kind::CloseUnwritten);
    push(FileEvent::Kind::Open);
  }
  if (mask & FAN_ACCESS) push(FileEvent::Kind::Access);
  if (mask & FAN_CLOSE_WRITE) {
    push(FileEvent::Kind::CloseWritten);
  } else if (mask & FAN_CLOSE_NOWRITE) {
    push(FileEvent::Kind::CloseUnwritten);
  }
}

}  // namespace recorder_tool
