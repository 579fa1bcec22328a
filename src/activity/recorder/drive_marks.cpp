#include "activity/recorder/drive_marks.h"

#include <cstring>

#include "platform/mount_views.h"
#include "platform/system.h"

namespace activity::recorder {
namespace {

std::string What(MarkScope scope, const MarkLayer& layer) {
  return std::string(scope == MarkScope::Filesystem ? "filesystem mark" : "mount marks") + " (" + layer.Name() + ")";
}

void NoteRefusal(RootMarks& marks, MarkScope scope, const MarkLayer& layer, int error) {
  if (!marks.refused.empty()) marks.refused += "; ";
  marks.refused += What(scope, layer) + ": " + std::strerror(error);
}

// Marks every mount of the filesystem that holds `root`; the mount holding the root
// first, since without it the root is not watched by its mounts at all.
bool MarkMounts(MarkLayer& layer, const std::string& root, const platform::MountViews& views, RootMarks& marks) {
  const platform::MountView* own = views.Containing(root);
  if (own == nullptr) {
    NoteRefusal(marks, MarkScope::Mount, layer, ENOENT);
    return false;
  }
  if (const int error = layer.Mark(MarkScope::Mount, own->mountPoint); error != 0) {
    NoteRefusal(marks, MarkScope::Mount, layer, error);
    return false;
  }
  marks.paths = {own->mountPoint};
  for (const platform::MountView* view : views.OfFilesystem(*own)) {
    if (view == own || view->mountPoint == own->mountPoint) continue;
    // A mount hidden under another, or one this process may not mark, shows nothing new.
    if (layer.Mark(MarkScope::Mount, view->mountPoint) == 0) marks.paths.push_back(view->mountPoint);
  }
  return true;
}

}  // namespace

std::string RootMarks::Describe() const {
  std::string text;
  if (layer == nullptr) {
    text = "no mark";
  } else {
    text = What(scope, *layer);
    if (scope == MarkScope::Mount) {
      text += " on ";
      for (std::size_t i = 0; i < paths.size(); ++i) text += (i == 0 ? "" : ", ") + paths[i];
    }
  }
  if (!refused.empty()) text += " (refused: " + refused + ")";
  return text;
}

RootMarks MarkRoot(const std::vector<MarkLayer*>& layers, const std::string& root, const platform::MountViews& views) {
  RootMarks marks;
  for (MarkLayer* layer : layers) {
    if (const int error = layer->Mark(MarkScope::Filesystem, root); error != 0) {
      NoteRefusal(marks, MarkScope::Filesystem, *layer, error);
      continue;
    }
    marks.layer = layer;
    marks.paths = {root};
    return marks;
  }
  for (MarkLayer* layer : layers) {
    if (!layer->TakesMountMarks() || !MarkMounts(*layer, root, views, marks)) continue;
    marks.layer = layer;
    marks.scope = MarkScope::Mount;
    return marks;
  }
  return marks;
}

Blindness BlindnessOf(const platform::System& system, char letter, bool watched) {
  if (system.GetDriveType(letter) == platform::DriveType::Remote) return Blindness::NetworkDrive;
  if (watched) return Blindness::None;
  const auto volume = system.GetVolumeInformation(letter);
  if (volume && volume->fileSystemName.starts_with("fuse")) return Blindness::FuseDrive;
  return Blindness::NotWatched;
}

}  // namespace activity::recorder
