// fanotify reporting each event by the handle of the file's folder and the file's name.
// The kernel then opens no descriptor per event and the daemon reads no path back through
// /proc: a folder's path is looked up once by its handle and remembered. That memory
// would go stale when a folder is moved, so the filesystem mark also reports folder moves
// and every remembered folder is forgotten on one; a file's own name comes with each
// event. A folder is looked up through the marked root's own mount, so a file opened
// through any other mount (a bind mount, a container's view) gets the drive's path.

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
#include "fanotify_groups.h"
#include "fanotify_replay.h"
#include "view_hash.h"
#include "platform/unique_fd.h"

namespace recorder_tool {
namespace {

// A plain open tells nothing the close does not (see OpenTracker), so it is not asked for.
constexpr std::uint64_t kOpenMask = FAN_OPEN_EXEC | FAN_ACCESS | FAN_CLOSE_WRITE | FAN_CLOSE_NOWRITE;
// Moves of folders anywhere on the watched filesystems (a mount mark cannot report them).
constexpr std::uint64_t kMoveMask = FAN_MOVED_FROM | FAN_ONDIR;
// Remembered folders; beyond this many they are all forgotten and looked up again.
constexpr std::size_t kMaxFolders = 65536;

class FanotifyHandleGroup final : public FanotifyGroup {
 public:
  explicit FanotifyHandleGroup(int fd) : fd_(fd) {}
  const char* Name() const override { return "file handles"; }
  bool TakesMountMarks() const override { return false; }
  int Descriptor() const override { return fd_.Get(); }
  std::uint64_t Dropped() const override { return dropped_; }
  std::uint64_t Received() const override { return received_; }

  int Mark(activity::recorder::MarkScope scope, const std::string& root) override {
    if (scope != activity::recorder::MarkScope::Filesystem) return EINVAL;
    // Handles are opened relative to the root itself (not an O_PATH descriptor), so that
    // their paths come through the drive's own mount.
    platform::UniqueFd folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.Valid()) return errno;
    // Folder moves and opens in one mark: no open is reported before folder moves are.
    // Its FAN_ONDIR brings the opens of folders too; they are passed over when read (an
    // ignore mark for folders would ignore files as well).
    if (::fanotify_mark(fd_.Get(), FAN_MARK_ADD | FAN_MARK_FILESYSTEM, kOpenMask | kMoveMask, AT_FDCWD,
                        root.c_str()) != 0) {
      return errno;
    }
    struct statfs facts {};
    Filesystem filesystem;
    if (::fstatfs(folder.Get(), &facts) == 0) std::memcpy(&filesystem.fsid, &facts.f_fsid, sizeof filesystem.fsid);
    filesystem.root = std::move(folder);
    filesystems_.push_back(std::move(filesystem));
    return 0;
  }

  void Unmark(activity::recorder::MarkScope, const std::string& root) override {
    ::fanotify_mark(fd_.Get(), FAN_MARK_REMOVE | FAN_MARK_FILESYSTEM, kOpenMask | kMoveMask, AT_FDCWD, root.c_str());
  }

  void Read(EventBatch& batch) override {
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
    auto path = OpenFolder(fsid, handle);
    if (!path) return nullptr;
    if (folders_.size() >= kMaxFolders) folders_.clear();
    return &folders_.emplace(key_, std::move(*path)).first->second;
  }

  // Through a root of the handle's own filesystem: a handle decoded on another one could
  // name an unrelated folder. Only where no root has its identity (a kernel that reports
  // another one) are the others tried.
  std::optional<std::string> OpenFolder(const __kernel_fsid_t& fsid, const file_handle& handle) {
    const auto same = [&](const Filesystem& filesystem) {
      return std::memcmp(&filesystem.fsid, &fsid, sizeof fsid) == 0;
    };
    const bool known = std::any_of(filesystems_.begin(), filesystems_.end(), same);
    // open_by_handle_at wants a writable handle it may not change; copy it.
    alignas(file_handle) char copy[sizeof(file_handle) + MAX_HANDLE_SZ];
    if (handle.handle_bytes > MAX_HANDLE_SZ) return std::nullopt;
    std::memcpy(copy, &handle, sizeof(file_handle) + handle.handle_bytes);
    for (const Filesystem& filesystem : filesystems_) {
      if (known && !same(filesystem)) continue;
      const platform::UniqueFd folder(
          ::open_by_handle_at(filesystem.root.Get(), reinterpret_cast<file_handle*>(copy), O_PATH | O_CLOEXEC));
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
  struct Filesystem {
    __kernel_fsid_t fsid{};
    platform::UniqueFd root;  // the marked root, opened
  };
  std::vector<Filesystem> filesystems_;
  std::uint64_t dropped_ = 0;
  std::uint64_t received_ = 0;
};

}  // namespace

std::unique_ptr<FanotifyGroup> MakeFanotifyHandleGroup(std::string* error) {
  const int fd = ::fanotify_init(FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK | FAN_UNLIMITED_QUEUE |
                                     FAN_REPORT_DFID_NAME,
                                 O_RDONLY | O_LARGEFILE | O_CLOEXEC);
  if (fd < 0) {
    *error = std::string("fanotify is not available: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<FanotifyHandleGroup>(fd);
}

}  // namespace recorder_tool
