// fanotify, descriptor mode: the fallback where file handles cannot be reported (an old
// kernel, a filesystem without them, a btrfs subvolume). Sees every open on what it
// marks with the opener's process id. The event's own descriptor is opened read-only by
// the kernel whatever the opener asked for, so the mode comes from the event kinds (see
// OpenTracker). Its path is the one the opener used, through whatever mount; the daemon
// takes it to the drive's own mount.

#include <fcntl.h>
#include <limits.h>
#include <sys/fanotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fanotify_groups.h"
#include "fanotify_replay.h"
#include "platform/unique_fd.h"

namespace recorder_tool {
namespace {

// A plain open tells nothing the close does not (see OpenTracker), so it is not asked for:
// a third fewer events to read.
constexpr std::uint64_t kMask = FAN_OPEN_EXEC | FAN_ACCESS | FAN_CLOSE_WRITE | FAN_CLOSE_NOWRITE;
constexpr std::size_t kBufferSize = 64 * 1024;
// Descriptors kept free for the daemon's own files (tables, control socket) while a
// buffer of events holds one descriptor per event.
constexpr rlim_t kSpareDescriptors = 64;

// The kernel opens a descriptor for every event it copies out and silently drops the
// event it cannot open one for, so a read must never ask for more events than there are
// free descriptors. Raises the soft limit as far as allowed and returns how many bytes
// of events one read may take.
std::size_t ReadSizeWithinDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256 * FAN_EVENT_METADATA_LEN;
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::getrlimit(RLIMIT_NOFILE, &limit);
  }
  const rlim_t events = limit.rlim_cur > 2 * kSpareDescriptors ? limit.rlim_cur - kSpareDescriptors
                                                                : limit.rlim_cur / 2;
  return std::min<std::size_t>(kBufferSize, static_cast<std::size_t>(events) * FAN_EVENT_METADATA_LEN);
}

unsigned ScopeFlag(activity::recorder::MarkScope scope) {
  return scope == activity::recorder::MarkScope::Filesystem ? FAN_MARK_FILESYSTEM : FAN_MARK_MOUNT;
}

class FanotifyDescriptorGroup final : public FanotifyGroup {
 public:
  explicit FanotifyDescriptorGroup(int fd) : fd_(fd), readSize_(ReadSizeWithinDescriptorLimit()) {}
  const char* Name() const override { return "descriptors"; }
  bool TakesMountMarks() const override { return true; }
  int Descriptor() const override { return fd_.Get(); }
  std::uint64_t Dropped() const override { return dropped_; }
  std::uint64_t Received() const override { return received_; }

  int Mark(activity::recorder::MarkScope scope, const std::string& path) override {
    return ::fanotify_mark(fd_.Get(), FAN_MARK_ADD | ScopeFlag(scope), kMask, AT_FDCWD, path.c_str()) == 0 ? 0 : errno;
  }

  void Unmark(activity::recorder::MarkScope scope, const std::string& path) override {
    ::fanotify_mark(fd_.Get(), FAN_MARK_REMOVE | ScopeFlag(scope), kMask, AT_FDCWD, path.c_str());
  }

  void Read(EventBatch& batch) override {
    const ssize_t length = ::read(fd_.Get(), buffer_, readSize_);
    if (length <= 0) return;
    auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer_);
    ssize_t left = length;
    for (; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
      ++received_;
      if (event->mask & FAN_Q_OVERFLOW) ++dropped_;
      if (event->fd < 0) continue;
      Add(*event, batch);
      ::close(event->fd);
    }
  }

 private:
  void Add(const fanotify_event_metadata& event, EventBatch& batch) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", event.fd);
    char path[PATH_MAX];
    const ssize_t size = ::readlink(link, path, sizeof path);
    if (size <= 0 || size == sizeof path) return;
    const std::size_t at = batch.paths.size();
    batch.paths.append(path, static_cast<std::size_t>(size));
    ReplayFanotifyMask(event.mask, [&](FileEvent::Kind kind) { batch.Add(kind, event.pid, at); });
  }

  platform::UniqueFd fd_;
  const std::size_t readSize_;
  alignas(fanotify_event_metadata) char buffer_[kBufferSize];
  std::uint64_t dropped_ = 0;
  std::uint64_t received_ = 0;
};

}  // namespace

std::unique_ptr<FanotifyGroup> MakeFanotifyDescriptorGroup(std::string* error) {
  const int fd = ::fanotify_init(FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK | FAN_UNLIMITED_QUEUE,
                                 O_RDONLY | O_LARGEFILE | O_CLOEXEC);
  if (fd < 0) {
    *error = std::string("fanotify is not available: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FanotifyDescriptorGroup>(fd);
}

}  // namespace recorder_tool
