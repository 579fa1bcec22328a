#pragma once
// How the recorder watches a drive. A filesystem mark hears every open of the filesystem,
// whatever mount it comes through (bind mounts, a container's view). Where the kernel
// refuses one (a btrfs subvolume, a FUSE filesystem without an identity, a namespace
// without the privilege), every mount of the filesystem is marked instead; where nothing
// takes, the drive goes unwatched and the reason is kept for the user.

#include <string>
#include <vector>

#include "activity/coverage_file.h"

namespace platform {
class MountViews;
class System;
}  // namespace platform

namespace activity::recorder {

enum class MarkScope { Filesystem, Mount };

// One way of hearing opens (a fanotify group; a fake in tests).
class MarkLayer {
 public:
  virtual ~MarkLayer() = default;
  // For the log: "file handles", "descriptors".
  virtual const char* Name() const = 0;
  // Whether a root may be watched through its mounts. A layer that names files by their
  // folders' handles needs the filesystem mark to hear of folder moves.
  virtual bool TakesMountMarks() const = 0;
  // Adds a mark: 0, or the errno the kernel answered.
  virtual int Mark(MarkScope scope, const std::string& path) = 0;
};

struct RootMarks {
  MarkLayer* layer = nullptr;  // nullptr: nothing took
  MarkScope scope = MarkScope::Filesystem;
  std::vector<std::string> paths;  // the root, or every mount point marked
  std::string refused;             // the marks the kernel refused first, and why

  bool Watched() const { return layer != nullptr; }
  // For the log: "filesystem mark (file handles)", "mount marks (descriptors) on /a, /b",
  // each followed by what was refused before.
  std::string Describe() const;
};

// Marks `root` through the first layer and scope that takes: each layer's filesystem
// mark, then (where the layer takes them) a mark on every mount of the root's filesystem
// from `views`. The mounts are a fallback only if the mount holding the root takes one.
RootMarks MarkRoot(const std::vector<MarkLayer*>& layers, const std::string& root, const platform::MountViews& views);

// Why the recorder, running, sees no opens of drive `letter` that it `watched` (or not).
// A network drive's files are opened by other machines too, and those opens never
// reach this one however well it is watched.
Blindness BlindnessOf(const platform::System& system, char letter, bool watched);

}  // namespace activity::recorder
