// inotify: the unprivileged fallback. It needs a watch per folder and reports neither the
// process nor the open mode, so every event carries pid 0 and an open for execution is
// counted as a read-only open. Folders created later are watched as they appear.

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "event_records.h"
#include "event_source.h"
#include "platform/unique_fd.h"

namespace recorder_tool {
namespace {

// A plain open tells nothing the close does not (see OpenTracker).
constexpr std::uint32_t kMask = IN_ACCESS | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE |
                                IN_CREATE | IN_MOVED_TO | IN_ONLYDIR | IN_EXCL_UNLINK;

class InotifySource final : public EventSource {
 public:
  explicit InotifySource(int fd) : fd_(fd) {}
  const char* Name() const override { return "inotify"; }
  int Descriptor() const override { return fd_.Get(); }
  std::uint64_t Dropped() const override { return dropped_; }
  std::uint64_t Received() const override { return received_; }

  std::vector<RootWatch> Watch(const std::vector<std::string>& roots) override {
    for (auto it = roots_.begin(); it != roots_.end();) {
      if (std::find(roots.begin(), roots.end(), *it) != roots.end()) {
        ++it;
        continue;
      }
      Unwatch(*it);
      it = roots_.erase(it);
    }
    std::vector<RootWatch> watches;
    for (const std::string& root : roots) {
      if (std::find(roots_.begin(), roots_.end(), root) == roots_.end()) {
        if (!WatchTree(root)) {
          watches.push_back({std::string("no watch: ") + std::strerror(errno), false});
          continue;
        }
        roots_.push_back(root);
      }
      watches.push_back({"folder watches", true});
    }
    return watches;
  }

  void Drain(EventBatch& batch) override {
    batch.Clear();
    // One read per call: batches stay small, so counting starts while reading goes on.
    const ssize_t length = ::read(fd_.Get(), buffer_, sizeof buffer_);
    if (length <= 0) return;
    InotifyEventWalk walk(buffer_, static_cast<std::size_t>(length));
    InotifyRecord event;
    while (walk.Next(event)) {
      ++received_;
      Add(event, batch);
    }
  }

 private:
  bool WatchTree(const std::string& folder) {
    const int wd = ::inotify_add_watch(fd_.Get(), folder.c_str(), kMask);
    if (wd < 0) return false;
    folders_[wd] = folder;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return true;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (entry->d_type == DT_DIR) WatchTree(Join(folder, name));
    }
    ::closedir(dir);
    return true;
  }

  // Drops the watches of a root's folders.
  void Unwatch(const std::string& root) {
    for (auto it = folders_.begin(); it != folders_.end();) {
      const std::string& folder = it->second;
      const bool below = root == "/" || folder == root ||
                         (folder.size() > root.size() && folder.compare(0, root.size(), root) == 0 &&
                          folder[root.size()] == '/');
      if (!below) {
        ++it;
        continue;
      }
      ::inotify_rm_watch(fd_.Get(), it->first);
      it = folders_.erase(it);
    }
  }

  static std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
  }

  void Add(const InotifyRecord& event, EventBatch& batch) {
    if (event.mask & IN_Q_OVERFLOW) {
      ++dropped_;
      return;
    }
    if (event.mask & IN_IGNORED) {
      folders_.erase(event.wd);
      return;
    }
    const auto folder = folders_.find(event.wd);
    if (folder == folders_.end() || event.name.empty()) return;  // events on the folder itself
    const std::string_view name = event.name;
    if (event.mask & IN_ISDIR) {
      if (event.mask & (IN_CREATE | IN_MOVED_TO)) WatchTree(Join(folder->second, std::string(name)));
      return;
    }
    const std::size_t at = batch.paths.size();
    batch.paths += folder->second;
    if (folder->second != "/") batch.paths += '/';
    batch.paths += name;
    if (event.mask & IN_ACCESS) batch.Add(FileEvent::Kind::Access, 0, at);
    if (event.mask & IN_CLOSE_WRITE) batch.Add(FileEvent::Kind::CloseWritten, 0, at);
    if (event.mask & IN_CLOSE_NOWRITE) batch.Add(FileEvent::Kind::CloseUnwritten, 0, at);
  }

  platform::UniqueFd fd_;
  alignas(inotify_event) char buffer_[64 * 1024];
  std::vector<std::string> roots_;
  std::uint64_t dropped_ = 0;
  std::uint64_t received_ = 0;
  std::unordered_map<int, std::string> folders_;
};

}  // namespace

std::unique_ptr<EventSource> MakeInotifySource(std::string* error) {
  const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    *error = std::string("inotify is not available: ") + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<InotifySource>(fd);
}

}  // namespace recorder_tool
