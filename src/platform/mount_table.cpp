#include "platform/mount_table.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace platform {

std::string UnescapeMountField(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
        isOctal(field[i + 2]) && isOctal(field[i + 3])) {
      out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                               (field[i + 3] - '0'));
      i += 3;
      continue;
    }
    out += field[i];
  }
  return out;
}

MountTable MountTable::Read(const std::string& mountsFile) {
  std::ifstream in(mountsFile);
  if (!in) return {};
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

MountTable MountTable::Parse(std::string_view text) {
  MountTable table;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;

    std::array<std::string_view, 4> fields{};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (count < fields.size()) {
      while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
      if (pos >= line.size()) break;
      const std::size_t fieldEnd = line.find_first_of(" \t", pos);
      const std::size_t stop = fieldEnd == std::string_view::npos ? line.size() : fieldEnd;
      fields[count++] = line.substr(pos, stop - pos);
      pos = stop;
    }
    if (count < 3 || fields[0].starts_with('#')) continue;
    MountEntry entry{UnescapeMountField(fields[0]), UnescapeMountField(fields[1]), UnescapeMountField(fields[2]),
                     count > 3 ? UnescapeMountField(fields[3]) : std::string{}};
    if (!entry.target.starts_with('/')) continue;
    if (entry.target.size() > 1 && entry.target.ends_with('/')) entry.target.pop_back();
    table.entries_.push_back(std::move(entry));
  }
  return table;
}

const MountEntry* MountTable::Containing(std::string_view absolutePath) const {
  const MountEntry* best = nullptr;
  for (const MountEntry& entry : entries_) {
    if (!PathIsWithin(absolutePath, entry.target)) continue;
    if (best == nullptr || entry.target.size() >= best->target.size()) best = &entry;
  }
  return best;
}

bool PathIsWithin(std::string_view path, std::string_view root) {
  if (root == "/") return path.starts_with('/');
  if (!path.starts_with(root)) return false;
  return path.size() == root.size() || path[root.size()] == '/';
}

bool IsPseudoFilesystem(const MountEntry& entry) {
  static constexpr std::array<std::string_view, 25> kPseudo = {
      "proc",       "sysfs",       "cgroup",   "cgroup2",         "devpts",
      "debugfs",    "tracefs",     "securityfs", "pstore",        "bpf",
      "configfs",   "fusectl",     "mqueue",   "hugetlbfs",       "autofs",
      "binfmt_misc", "efivarfs",   "devtmpfs", "rpc_pipefs",      "nsfs",
      "selinuxfs",  "nfsd",        "rootfs",   "fuse.gvfsd-fuse", "fuse.portal"};
  if (std::find(kPseudo.begin(), kPseudo.end(), entry.fileSystem) != kPseudo.end()) return true;
  if (entry.fileSystem == "tmpfs" || entry.fileSystem == "ramfs") {
    for (const std::string_view system : {"/dev", "/run", "/sys", "/proc"}) {
      if (PathIsWithin(entry.target, system)) return true;
    }
  }
  return false;
}

}  // namespace platform
