#include "platform/mount_views.h"

#include <sys/sysmacros.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/mount_info.h"
#include "platform/mount_table.h"

namespace platform {
namespace {

std::optional<std::uint64_t> DeviceOf(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  unsigned major = 0, minor = 0;
  const char* end = text.data() + text.size();
  if (std::from_chars(text.data(), text.data() + colon, major).ec != std::errc{} ||
      std::from_chars(text.data() + colon + 1, end, minor).ptr != end) {
    return std::nullopt;
  }
  return makedev(major, minor);
}

// The part of `path` below `folder` ("" for the folder itself, else beginning with '/').
std::string_view Below(std::string_view path, std::string_view folder) {
  return folder == "/" ? path : path.substr(folder.size());
}

std::string Join(std::string_view folder, std::string_view below) {
  if (below.empty()) return std::string(folder);
  return folder == "/" ? std::string(below) : std::string(folder) + std::string(below);
}

}  // namespace

MountViews MountViews::Read(const std::string& mountInfoFile) {
  std::ifstream in(mountInfoFile);
  if (!in) return {};
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

MountViews MountViews::Parse(std::string_view text) {
  MountViews views;
  for (MountInfoEntry& entry : ParseMountInfo(text)) {
    const auto device = DeviceOf(entry.device);
    if (!device || !entry.root.starts_with('/')) continue;
    views.views_.push_back({*device, std::move(entry.root), std::move(entry.target), std::move(entry.fileSystem)});
  }
  return views;
}

const MountView* MountViews::Containing(std::string_view hostPath) const {
  const MountView* best = nullptr;
  for (const MountView& view : views_) {
    if (PathIsWithin(hostPath, view.mountPoint) && (best == nullptr || view.mountPoint.size() >= best->mountPoint.size())) {
      best = &view;
    }
  }
  return best;
}

std::vector<const MountView*> MountViews::OfFilesystem(const MountView& of) const {
  std::vector<const MountView*> views;
  for (const MountView& view : views_) {
    if (view.device == of.device) views.push_back(&view);
  }
  return views;
}

std::optional<std::string> MountViews::Through(std::string_view hostPath, const MountView& from, const MountView& into) {
  if (from.device != into.device || !PathIsWithin(hostPath, from.mountPoint)) return std::nullopt;
  const std::string inFilesystem = Join(from.root, Below(hostPath, from.mountPoint));
  if (!PathIsWithin(inFilesystem, into.root)) return std::nullopt;
  return Join(into.mountPoint, Below(inFilesystem, into.root));
}

}  // namespace platform
