#include "platform/metadata_copy.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/dos_attributes.h"
#include "platform/permission_support.h"

namespace platform {
namespace {

constexpr const char* kDosAttributes = "user.DOSATTRIB";
constexpr const char* kCapabilities = "security.capability";
constexpr const char* kBtrfsCompression = "btrfs.compression";
constexpr std::uint32_t kOffline = 0x1000;

std::vector<std::string> AttributeNames(int fd) {
  std::vector<std::string> names;
  std::vector<char> list(4096);
  for (;;) {
    const ssize_t size = ::flistxattr(fd, list.data(), list.size());
    if (size >= 0) {
      list.resize(static_cast<std::size_t>(size));
      break;
    }
    if (errno != ERANGE) return names;
    const ssize_t needed = ::flistxattr(fd, nullptr, 0);
    if (needed < 0) return names;
    list.resize(static_cast<std::size_t>(needed) + 1);
  }
  for (std::size_t start = 0; start < list.size();) {
    const std::string name(list.data() + start);
    start += name.size() + 1;
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

std::vector<char> AttributeValue(int fd, const std::string& name, bool* ok) {
  std::vector<char> value;
  const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
  *ok = size >= 0;
  if (size <= 0) return value;
  value.resize(static_cast<std::size_t>(size));
  const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
  *ok = got >= 0;
  value.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return value;
}

// The DOS bits without the offline mark.
std::vector<char> WithoutOfflineMark(const std::vector<char>& value) {
  const std::uint32_t bits = ParseDosAttributeValue(value.data(), value.size()) & ~kOffline;
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0x%x", bits);
  return std::vector<char>(text, text + length + 1);
}

}  // namespace

bool IsCosmeticAttribute(const std::string& name) {
  return name.starts_with("user.xdg.") || name == "security.selinux" || name == kDosAttributes ||
         name == kBtrfsCompression;
}

std::string CopyMetadata(int from, const struct stat& fromInfo, int to) {
  // A copy on FAT reads as everyone's and executable: the new file stays as it was made
  // (the caller makes it private), its owner's to open up.
  const bool ownerAndMode = KeepsOwnersAndModes(from);
  // The owner first: giving a file away clears its setuid bits and capabilities, which
  // are set after it.
  bool ownerKept = ownerAndMode && ::fchown(to, fromInfo.st_uid, fromInfo.st_gid) == 0;
  if (ownerAndMode && !ownerKept) {
    struct stat toInfo {};
    ownerKept = ::fstat(to, &toInfo) == 0 && toInfo.st_uid == fromInfo.st_uid && toInfo.st_gid == fromInfo.st_gid;
  }
  for (const std::string& name : AttributeNames(from)) {
    // A file capability is a privilege like setuid: it goes with the owner only.
    if (name == kCapabilities && !ownerKept) continue;
    bool read = false;
    std::vector<char> value = AttributeValue(from, name, &read);
    if (!read) continue;  // gone meanwhile, or not readable to us: nothing to carry
    if (name == kDosAttributes) value = WithoutOfflineMark(value);
    if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0) continue;
    if (IsCosmeticAttribute(name)) continue;
    return std::string("the target cannot hold its extended attribute ") + name + " (" + std::strerror(errno) + ")";
  }
  if (!ownerAndMode) return {};
  mode_t mode = fromInfo.st_mode & 07777;
  if (!ownerKept && !S_ISDIR(fromInfo.st_mode)) mode &= ~static_cast<mode_t>(S_ISUID | S_ISGID);
  // Filesystems without permissions (FAT) refuse or ignore the mode: it is kept as far
  // as the target can hold it.
  ::fchmod(to, mode);
  return {};
}

}  // namespace platform
