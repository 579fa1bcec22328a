#include "platform/drive_map.h"

#include <algorithm>
#include <cctype>

#include "platform/mount_table.h"

namespace platform {
namespace {

std::string NormalisedRoot(std::string root) {
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root;
}

// The folder as the kernel names it, without repeated slashes or "." components;
// nullopt when it holds "..", which only the filesystem can resolve.
std::optional<std::string> KernelForm(std::string_view folder) {
  std::string form;
  while (!folder.empty()) {
    const std::size_t slash = folder.find('/');
    const std::string_view component = folder.substr(0, slash);
    folder = slash == std::string_view::npos ? std::string_view{} : folder.substr(slash + 1);
    if (component.empty() || component == ".") continue;
    if (component == "..") return std::nullopt;
    form += '/';
    form += component;
  }
  return form.empty() ? "/" : form;
}

std::optional<DriveMap> Fail(std::string* error, std::string message) {
  if (error != nullptr) *error = std::move(message);
  return std::nullopt;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<DriveMap> DriveMap::Parse(std::string_view text, std::string* error) {
  DriveMap map;
  if (Trimmed(text).empty()) return Fail(error, "the drive map is empty");
  // The host ends a folder's name at a NUL byte: it would reach another folder.
  if (text.find('\0') != std::string_view::npos) return Fail(error, "the drive map holds a NUL byte");
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view item = Trimmed(text.substr(start, end - start));
    start = end + 1;
    const std::string itemText(item);
    if (item.empty()) return Fail(error, "empty entry in the drive map");
    if (item.size() < 3 || item[1] != '=' || !std::isalpha(static_cast<unsigned char>(item[0]))) {
      return Fail(error, "bad drive map entry '" + itemText + "' (expected LETTER=/path[=label])");
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(item[0])));
    if (letter < 'A' || letter > 'Z') {
      return Fail(error, "bad drive letter in '" + itemText + "'");
    }
    // Blanks around the folder and the label are not part of them, as around an entry:
    // the written map (ToString) must read back as the same map.
    std::string_view rest = item.substr(2);
    std::string label;
    if (const std::size_t labelAt = rest.find('='); labelAt != std::string_view::npos) {
      label = std::string(Trimmed(rest.substr(labelAt + 1)));
      rest = rest.substr(0, labelAt);
    }
    rest = Trimmed(rest);
    const std::string drive = "drive " + std::string(1, letter) + ":";
    if (!rest.starts_with('/')) {
      return Fail(error, "the folder of " + drive + " must be an absolute path, not '" +
                             std::string(rest) + "'");
    }
    // The recorder attributes files by the kernel's paths, which hold no "//" or ".":
    // a root written with them would own none of them.
    std::optional<std::string> root = KernelForm(rest);
    if (!root) {
      return Fail(error, "the folder of " + drive + " must not go up with '..': '" + std::string(rest) + "'");
    }
    if (std::isspace(static_cast<unsigned char>(root->back()))) {
      return Fail(error, "the folder of " + drive + " ends in a blank, which a drive map cannot keep: '" +
                             std::string(rest) + "'");
    }
    if (map.Find(letter) != nullptr) return Fail(error, drive + " is mapped twice");
    map.Set(letter, std::move(*root), std::move(label));
  }
  return map;
}

void DriveMap::Set(char letter, std::string root, std::string label) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (letter < 'A' || letter > 'Z') return;
  drives_[letter - 'A'] = MappedDrive{letter, NormalisedRoot(std::move(root)), std::move(label)};
}

const MappedDrive* DriveMap::Find(char letter) const {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (letter < 'A' || letter > 'Z') return nullptr;
  const auto& drive = drives_[letter - 'A'];
  return drive ? &*drive : nullptr;
}

const MappedDrive* DriveMap::Owner(std::string_view hostPath) const {
  const MappedDrive* best = nullptr;
  for (const auto& drive : drives_) {
    if (!drive || !PathIsWithin(hostPath, drive->root)) continue;
    if (best == nullptr || drive->root.size() > best->root.size()) best = &*drive;
  }
  return best;
}

std::vector<MappedDrive> DriveMap::All() const {
  std::vector<MappedDrive> all;
  for (const auto& drive : drives_) {
    if (drive) all.push_back(*drive);
  }
  return all;
}

std::string DriveMap::ToString() const {
  std::string text;
  for (const auto& drive : drives_) {
    if (!drive) continue;
    if (!text.empty()) text += ',';
    text += drive->letter;
    text += '=';
    text += drive->root;
    if (!drive->label.empty()) text += '=' + drive->label;
  }
  return text;
}

}  // namespace platform
