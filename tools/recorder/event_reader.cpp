#include "event_reader.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace recorder_tool {
namespace {

// Spent batches kept for reuse: enough for a burst, without holding its peak for ever.
constexpr std::size_t kMaxSpareBatches = 64;

// A read that brought fewer events than this is followed by a pause before the next one,
// so that the kernel gathers a batch meanwhile: a wake-up, a poll and a read per handful
// of events cost many times what counting them does. The pause stays short, because the
// kernel merges a process's unread events on one file and each merge loses an open.
constexpr std::size_t kSmallRead = 256;
constexpr timespec kGatherPause{0, 1'000'000};

void Signal(int fd) {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(fd, &one, sizeof one);
}

void Consume(int fd) {
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
}

}  // namespace

EventReader::EventReader(EventSource& source)
    : source_(source),
      ready_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventReader::~EventReader() { Stop(); }

bool EventReader::Start(std::string* error) {
  if (!ready_.Valid() || !wake_.Valid()) {
    *error = std::string("cannot make an event descriptor: ") + std::strerror(errno);
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

void EventReader::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(queueMutex_);
    stopping_ = true;
  }
  roomLeft_.notify_all();
  Signal(wake_.Get());
  thread_.join();
}

std::vector<RootWatch> EventReader::Watch(const std::vector<std::string>& roots) {
  const std::lock_guard lock(sourceMutex_);
  return source_.Watch(roots);
}

void EventReader::Exchange(std::vector<EventBatch>& batches) {
  const std::lock_guard lock(queueMutex_);
  for (EventBatch& spent : batches) {
    if (spare_.size() >= kMaxSpareBatches) break;
    spent.Clear();
    spare_.push_back(std::move(spent));
  }
  batches.clear();
  batches.swap(waiting_);
  waitingEvents_ = 0;
  Consume(ready_.Get());
  roomLeft_.notify_all();
}

void EventReader::CatchUp() {
  const std::lock_guard source(sourceMutex_);
  // What waits in the kernel when nothing is bursting fits in a read or two. In a burst
  // the queue refills between reads; a few reads keep the caller's answer prompt.
  constexpr int kMostReads = 4;
  for (int reads = 0; reads < kMostReads; ++reads) {
    pollfd readable{source_.Descriptor(), POLLIN, 0};
    if (::poll(&readable, 1, 0) != 1 || !(readable.revents & POLLIN)) return;
    EventBatch batch;
    {
      const std::lock_guard lock(queueMutex_);
      if (waitingEvents_ >= kMaxWaitingEvents) return;
      batch = Spare();
    }
    source_.Drain(batch);
    const std::lock_guard lock(queueMutex_);
    Push(std::move(batch));
  }
}

EventBatch EventReader::Spare() {
  if (spare_.empty()) return {};
  EventBatch batch = std::move(spare_.back());
  spare_.pop_back();
  return batch;
}

void EventReader::Push(EventBatch batch) {
  if (batch.events.empty()) {
    if (spare_.size() < kMaxSpareBatches) spare_.push_back(std::move(batch));
    return;
  }
  waitingEvents_ += batch.events.size();
  waiting_.push_back(std::move(batch));
  Signal(ready_.Get());
}

void EventReader::Run() {
  for (;;) {
    pollfd fds[2] = {{source_.Descriptor(), POLLIN, 0}, {wake_.Get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
    EventBatch batch;
    {
      std::unique_lock lock(queueMutex_);
      roomLeft_.wait(lock, [this] { return stopping_ || waitingEvents_ < kMaxWaitingEvents; });
      if (stopping_) return;
      batch = Spare();
    }
    if (!(fds[0].revents & POLLIN)) continue;
    std::size_t read = 0;
    {
      // The batch waits before the source is let go, so that a catch-up's batches always
      // come after it.
      const std::lock_guard source(sourceMutex_);
      source_.Drain(batch);
      read = batch.events.size();
      const std::lock_guard lock(queueMutex_);
      Push(std::move(batch));
    }
    if (read < kSmallRead) {
      pollfd stop{wake_.Get(), POLLIN, 0};
      ::ppoll(&stop, 1, &kGatherPause, nullptr);
    }
  }
}

}  // namespace recorder_tool
