#include "platform/mount_info.h"

#include <algorithm>
#include <charconv>

#include "platform/mount_table.h"

namespace platform {
namespace {

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size()) break;
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    fields.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  return fields;
}

bool HasOption(std::string_view options, std::string_view wanted) {
  std::size_t start = 0;
  while (start <= options.size()) {
    const std::size_t end = std::min(options.find(',', start), options.size());
    if (options.substr(start, end - start) == wanted) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

bool MountInfoEntry::ReadOnly() const { return HasOption(options, "ro") || HasOption(superOptions, "ro"); }

std::vector<MountInfoEntry> ParseMountInfo(std::string_view text) {
  std::vector<MountInfoEntry> entries;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::vector<std::string_view> fields = Fields(text.substr(start, end - start));
    start = end + 1;
    // id parent major:minor root target options [optional fields...] - type source super
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (dash + 2 >= fields.size()) continue;
    MountInfoEntry entry;
    const std::string_view id = fields[0];
    if (std::from_chars(id.data(), id.data() + id.size(), entry.mountId).ec != std::errc{}) continue;
    entry.device = std::string(fields[2]);
    entry.root = UnescapeMountField(fields[3]);
    entry.target = UnescapeMountField(fields[4]);
    entry.options = std::string(fields[5]);
    entry.fileSystem = UnescapeMountField(fields[dash + 1]);
    entry.source = UnescapeMountField(fields[dash + 2]);
    if (dash + 3 < fields.size()) entry.superOptions = std::string(fields[dash + 3]);
    if (!entry.target.starts_with('/') || entry.device.find(':') == std::string::npos) continue;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace platform
