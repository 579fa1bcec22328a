#include "platform/mount_info.h"

#include <algorithm>
#include <charconv>

namespace platform {
namespace {

// Blanks, tabs, newlines and backslashes come as three-digit octal escapes ("\040").
std::string Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
        isOctal(field[i + 3])) {
      out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
      i += 3;
      continue;
    }
    out += field[i];
  }
  return out;
}

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
    entry.root = Unescape(fields[3]);
    entry.target = Unescape(fields[4]);
    entry.options = std::string(fields[5]);
    entry.fileSystem = Unescape(fields[dash + 1]);
    entry.source = Unescape(fields[dash + 2]);
    if (dash + 3 < fields.size()) entry.superOptions = std::string(fields[dash + 3]);
    if (!entry.target.starts_with('/') || entry.device.find(':') == std::string::npos) continue;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace platform
