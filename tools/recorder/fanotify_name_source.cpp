// fanotify reporting each event by the handle of the file's folder and the file's name.
// The kernel then opens no descriptor per event and the daemon reads no path back through
// /proc: a folder's path is looked up once by its handle and remembered. That memory
// would go stale when a folder is moved, so a filesystem mark reports folder moves and
// every remembered folder is forgotten on one; a file's own name comes with each event.

#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits.h>
#include <optional>
#include <unordered_map>

#include "event_records.h"
#include "event_source.h"
#include "fanotify_marks.h"
#include "fanotify_replay.h"
#include "platform/unique_fd.h"

namespace recorder_tool {
namespace {

// A plain open tells nothing the close does not (see OpenTracker), so it is not asked for.
constexpr std::uint64_t kOpenMask = FAN_OPEN_EXEC | FAN_ACCESS | FAN_CLOSE_WRITE | FAN_CLOSE_NOWRITE;
// Moves of folders anywhere on the watched filesystems (a mount mark cannot report them).
constexpr std::uint64_t kMoveMask = FAN_MOVED_FROM | FAN_ONDIR;
// Remembered folders; beyond this many they are all forgotten and looked up again.
constexpr std::size_t kMaxFolders = 65536;

struct ViewHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

class FanotifyNameSource final : public EventSource {
 public:
  explicit FanotifyNameSource(int fd) : fd_(fd) {}
  const char* Name() const override { return "fanotify"; }
  int Descriptor() const override { return fd_.Get(); }
  std::uint64_t Dropped() const override { return dropped_; }
  std::uint64_t Received() const override { return received_; }

  bool Watch(const std::vector<std::string>& roots, std::string* error) override {
    UnmarkDroppedRoots(fd_.Get(), kOpenMask, roots, marked_);
    for (const std::string& root : roots) {
      if (std::find(marked_.begin(), marked_.end(), root) != marked_.end()) continue;
      // The move mark first: no open is reported before folder moves are.
      if (::fanotify_mark(fd_.Get(), FAN_MARK_ADD | FAN_MARK_FILESYSTEM, kMoveMask, AT_FDCWD, root.c_str()) != 0 ||
          ::fanotify_mark(fd_.Get(), FAN_MARK_ADD | FAN_MARK_MOUNT, kOpenMask, AT_FDCWD, root.c_str()) != 0) {
        *error = "fanotify cannot watch " + root + ": " + std::strerror(errno);
        return false;
      }
      marked_.push_back(root);
      // Handles are opened relative to any folder of their filesystem (not an O_PATH one).
      platform::UniqueFd folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
      if (folder.Valid()) filesystems_.push_back(std::move(folder));
    }
    // Filesystem marks stay: another watched root may share the filesystem, and a mark
    // left over only reports a few folder moves.
    return true;
  }

  void Drain(EventBatch& batch) override {
    batch.Clear();
    // One read per call: batches stay small, so counting starts while reading goes on.
    const ssize_t length = ::read(fd_.Get(), buffer_, sizeof buffer_);
    if (length <= 0) return;
    FanotifyEventWalk walk(buffer_, static_cast<std::size_t>(length));
    FanotifyNamedEvent event;
    while (walk.Next(event)) {
      ++received_;
      if (event.metadata.mask & FAN_Q_OVERFLOW) {
        ++dropped_;
      } else {
        if (event.metadata.fd >= 0) ::close(event.metadata.fd);  // never asked for, but never leaked either
        Add(event, batch);
      }
    }
  }

 private:
  void Add(const FanotifyNamedEvent& event, EventBatch& batch) {
    if (!event.named) return;
    const std::uint64_t mask = event.metadata.mask;
    if (mask & FAN_ONDIR) {
      // A moved folder changes the path of every folder below it. Events on folders are
      // never merged with events on files.
      if (mask & FAN_MOVED_FROM) folders_.clear();
      return;
    }
    // A file's move away is merged with the same process's unread events on whatever file
    // takes its name: those still count, the move itself tells nothing.
    if (!(mask & kOpenMask)) return;
    const std::string* folder = FolderOf(event.fsid, *event.handle);
    if (folder == nullptr) return;  // the folder is gone
    const std::size_t pathAt = batch.paths.size();
    batch.paths += *folder;
    if (*folder != "/") batch.paths += '/';
    batch.paths += event.name;
    ReplayFanotifyMask(mask, [&](FileEvent::Kind kind) { batch.Add(kind, event.metadata.pid, pathAt); });
  }

  // The host path of a folder by its handle, remembered; nullptr when it cannot be opened.
  const std::string* FolderOf(const __kernel_fsid_t& fsid, const file_handle& handle) {
    key_.assign(reinterpret_cast<const char*>(&fsid), sizeof fsid);
    key_.append(reinterpret_cast<const char*>(&handle.handle_type), sizeof handle.handle_type);
    key_.append(reinterpret_cast<const char*>(handle.f_handle), handle.handle_bytes);
    if (const auto found = folders_.find(std::string_view(key_)); found != folders_.end()) return &found->second;
    auto path = OpenFolder(handle);
    if (!path) return nullptr;
    if (folders_.size() >= kMaxFolders) folders_.clear();
    return &folders_.emplace(key_, std::move(*path)).first->second;
  }

  std::optional<std::string> OpenFolder(const file_handle& handle) {
    // open_by_handle_at wants a writable handle it may not change; copy it.
    alignas(file_handle) char copy[sizeof(file_handle) + MAX_HANDLE_SZ];
    if (handle.handle_bytes > MAX_HANDLE_SZ) return std::nullopt;
    std::memcpy(copy, &handle, sizeof(file_handle) + handle.handle_bytes);
    for (const platform::UniqueFd& filesystem : filesystems_) {
      const platform::UniqueFd folder(
          ::open_by_handle_at(filesystem.Get(), reinterpret_cast<file_handle*>(copy), O_PATH | O_CLOEXEC));
      if (!folder.Valid()) continue;
      char link[64];
      std::snprintf(link, sizeof link, "/proc/self/fd/%d", folder.Get());
      char path[PATH_MAX];
      const ssize_t size = ::readlink(link, path, sizeof path);
      if (size <= 0 || size == sizeof path || path[0] != '/') return std::nullopt;
      return std::string(path, static_cast<std::size_t>(size));
    }
    return std::nullopt;
  }

  platform::UniqueFd fd_;
  alignas(fanotify_event_metadata) char buffer_[64 * 1024];
  std::string key_;
  std::unordered_map<std::string, std::string, ViewHash, std::equal_to<>> folders_;
  std::vector<platform::UniqueFd> filesystems_;
  std::vector<std::string> marked_;
  std::uint64_t dropped_ = 0;
  std::uint64_t received_ = 0;
};

}  // namespace

std::unique_ptr<EventSource> MakeFanotifySource(std::string* error) {
  const int fd = ::fanotify_init(FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK | FAN_UNLIMITED_QUEUE |
                                     FAN_REPORT_DFID_NAME,
                                 O_RDONLY | O_LARGEFILE | O_CLOEXEC);
  if (fd < 0) {
    *error = std::string("fanotify is not available: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FanotifyNameSource>(fd);
}

}  // namespace recorder_tool
