// fanotify through both groups: the handle group for every filesystem that takes its
// mark, the descriptor group for the others, by filesystem or by every mount. Both are
// read as one source, through one epoll descriptor.

#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "activity/recorder/drive_marks.h"
#include "event_source.h"
#include "fanotify_groups.h"
#include "platform/mount_views.h"
#include "platform/unique_fd.h"

namespace recorder_tool {
namespace {

using activity::recorder::RootMarks;

class FanotifySource final : public EventSource {
 public:
  FanotifySource(std::vector<std::unique_ptr<FanotifyGroup>> groups, int epoll)
      : groups_(std::move(groups)), epoll_(epoll) {}
  const char* Name() const override { return "fanotify"; }
  int Descriptor() const override { return epoll_.Get(); }

  std::uint64_t Dropped() const override {
    std::uint64_t dropped = 0;
    for (const auto& group : groups_) dropped += group->Dropped();
    return dropped;
  }
  std::uint64_t Received() const override {
    std::uint64_t received = 0;
    for (const auto& group : groups_) received += group->Received();
    return received;
  }

  std::vector<RootWatch> Watch(const std::vector<std::string>& roots) override {
    const platform::MountViews views = platform::MountViews::Read();
    Unmark(roots);
    std::vector<activity::recorder::MarkLayer*> layers;
    for (const auto& group : groups_) layers.push_back(group.get());
    std::vector<RootWatch> watches;
    for (const std::string& root : roots) {
      auto marked = std::find_if(marked_.begin(), marked_.end(), [&](const Marked& m) { return m.root == root; });
      if (marked == marked_.end()) {
        const platform::MountView* mount = views.Containing(root);
        RootMarks marks = activity::recorder::MarkRoot(layers, root, views);
        if (!marks.Watched()) {
          watches.push_back({marks.Describe(), false});
          continue;  // tried again at the next watch
        }
        marked = marked_.insert(marked_.end(), {root, mount == nullptr ? 0 : mount->device, std::move(marks)});
      }
      watches.push_back({marked->marks.Describe(), true});
    }
    return watches;
  }

  void Drain(EventBatch& batch) override {
    batch.Clear();
    // One read per group and call: batches stay small, so counting starts while reading
    // goes on. The groups do not block; one with nothing waiting reads nothing.
    for (const auto& group : groups_) group->Read(batch);
  }

 private:
  struct Marked {
    std::string root;
    std::uint64_t device = 0;  // of the root's filesystem
    RootMarks marks;
  };

  // Removes the marks of roots no longer watched, except those on a filesystem a kept
  // root is on (one filesystem mark serves all its roots): opens on drives that stay
  // are never missed while the list changes.
  void Unmark(const std::vector<std::string>& roots) {
    const auto kept = [&](const Marked& m) { return std::find(roots.begin(), roots.end(), m.root) != roots.end(); };
    const auto dropped = std::stable_partition(marked_.begin(), marked_.end(), kept);
    for (auto it = dropped; it != marked_.end(); ++it) {
      const bool shared = std::any_of(marked_.begin(), dropped, [&](const Marked& m) { return m.device == it->device; });
      if (shared) continue;
      auto* group = static_cast<FanotifyGroup*>(it->marks.layer);
      for (const std::string& path : it->marks.paths) group->Unmark(it->marks.scope, path);
    }
    marked_.erase(dropped, marked_.end());
  }

  std::vector<std::unique_ptr<FanotifyGroup>> groups_;
  platform::UniqueFd epoll_;
  std::vector<Marked> marked_;
};

}  // namespace

std::unique_ptr<EventSource> MakeFanotifySource(std::string* error) {
  std::vector<std::unique_ptr<FanotifyGroup>> groups;
  std::string handleError, descriptorError;
  if (auto handles = MakeFanotifyHandleGroup(&handleError)) groups.push_back(std::move(handles));
  if (auto descriptors = MakeFanotifyDescriptorGroup(&descriptorError)) groups.push_back(std::move(descriptors));
  if (groups.empty()) {
    *error = descriptorError;
    return nullptr;
  }
  platform::UniqueFd epoll(::epoll_create1(EPOLL_CLOEXEC));
  if (!epoll.Valid()) {
    *error = std::string("cannot make an epoll descriptor: ") + std::strerror(errno);
    return nullptr;
  }
  for (const auto& group : groups) {
    epoll_event readable{};
    readable.events = EPOLLIN;
    readable.data.fd = group->Descriptor();
    if (::epoll_ctl(epoll.Get(), EPOLL_CTL_ADD, group->Descriptor(), &readable) != 0) {
      *error = std::string("cannot poll fanotify: ") + std::strerror(errno);
      return nullptr;
    }
  }
  return std::make_unique<FanotifySource>(std::move(groups), epoll.Release());
}

}  // namespace recorder_tool
