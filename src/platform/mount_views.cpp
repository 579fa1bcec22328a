#include "platform/mount_views.h"

#include <sys/sysmacros.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "platform/mount_table.h"

namespace platform {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    if (end > pos) fields.push_back(line.substr(pos, end - pos));
    pos = end + 1;
  }
  return fields;
}

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
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::vector<std::string_view> fields = Fields(text.substr(start, end - start));
    start = end + 1;
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (fields.size() < 6 || dash + 1 >= fields.size()) continue;
    const auto device = DeviceOf(fields[2]);
    MountView view{device.value_or(0), UnescapeMountField(fields[3]), UnescapeMountField(fields[4]),
                   UnescapeMountField(fields[dash + 1])};
    if (!device || !view.root.starts_with('/') || !view.mountPoint.starts_with('/')) continue;
    views.views_.push_back(std::move(view));
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
