#pragma once
// Reads the kernel's events on a thread of its own and hands them over in batches.
//
// fanotify merges a process's unread events on one file into one, so every moment the
// kernel's queue goes unread can cost counted opens. The counting thread stops now and
// then for seconds' worth of work (writing the tables out, a hold or release), so the
// reading is done apart from it and never waits for it, up to a bound on the batches
// waiting in memory.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "event_source.h"
#include "platform/unique_fd.h"

namespace recorder_tool {

class EventReader {
 public:
  // Events that may wait for counting (about 100 MB at most); beyond them the reader
  // pauses and the kernel queues (and merges) again. Counted in events, not batches: a
  // reader that keeps up reads a few events at a time.
  static constexpr std::size_t kMaxWaitingEvents = 1'000'000;

  explicit EventReader(EventSource& source);
  ~EventReader();
  EventReader(const EventReader&) = delete;
  EventReader& operator=(const EventReader&) = delete;

  // Starts reading. Watch may be called before and after.
  bool Start(std::string* error);
  // Stops reading; the source's counters can be read afterwards.
  void Stop();
  std::vector<RootWatch> Watch(const std::vector<std::string>& roots);
  // Reads what the kernel holds for the recorder now, on the calling thread, behind
  // whatever the reading thread read before: every event that happened before the call
  // is then among the waiting batches. Stops early once kMaxWaitingEvents wait, and after
  // a few reads during a burst.
  void CatchUp();

  // Readable while batches wait.
  int Descriptor() const { return ready_.Get(); }
  // Replaces `batches` by those read since the last call, oldest first; the batches
  // passed in are spent and reused.
  void Exchange(std::vector<EventBatch>& batches);

 private:
  void Run();

  EventSource& source_;
  std::mutex sourceMutex_;  // Drain, Watch, and a drained batch until it waits
  void Push(EventBatch batch);  // queueMutex_ held
  EventBatch Spare();           // queueMutex_ held
  std::mutex queueMutex_;
  std::condition_variable roomLeft_;
  std::vector<EventBatch> waiting_;
  std::size_t waitingEvents_ = 0;
  std::vector<EventBatch> spare_;
  bool stopping_ = false;
  platform::UniqueFd ready_;  // eventfd: batches wait
  platform::UniqueFd wake_;   // eventfd: stop
  std::thread thread_;
};

}  // namespace recorder_tool
