#include "platform/dos_attributes.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>

namespace platform {
namespace {

constexpr const char* kAttributeName = "user.DOSATTRIB";

// Filesystems without user extended attributes, or files that cannot carry them
// (symbolic links, devices): the bits are then simply not kept.
bool AttributesUnsupported(int error) {
  return error == ENOTSUP || error == EPERM || error == ENOSPC || error == EDQUOT ||
         error == E2BIG;
}

}  // namespace

std::uint32_t ParseDosAttributeValue(const char* value, std::size_t size) {
  if (size < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return 0;
  std::uint32_t bits = 0;
  std::size_t digits = 0;
  for (std::size_t i = 2; i < size && digits < 8; ++i, ++digits) {
    const char c = value[i];
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f') digit = static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c - 'A' + 10);
    else break;
    bits = bits * 16 + digit;
  }
  return bits & kStoredDosBits;
}

std::uint32_t ReadDosAttributes(const std::string& hostPath) {
  char value[256];
  const ssize_t size = ::lgetxattr(hostPath.c_str(), kAttributeName, value, sizeof value);
  if (size <= 0) return 0;
  return ParseDosAttributeValue(value, static_cast<std::size_t>(size));
}

bool WriteDosAttributes(const std::string& hostPath, std::uint32_t attributes) {
  struct stat info {};
  if (::lstat(hostPath.c_str(), &info) != 0) return false;
  char value[16];
  const int length = std::snprintf(value, sizeof value, "0x%x", attributes & kStoredDosBits);
  // The trailing NUL is part of the value, as file servers write it.
  if (::lsetxattr(hostPath.c_str(), kAttributeName, value, static_cast<std::size_t>(length) + 1,
                  0) == 0) {
    return true;
  }
  return AttributesUnsupported(errno);
}

}  // namespace platform
