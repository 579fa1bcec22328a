#include "files/compression_control.h"

#include "platform/system.h"

namespace files {

bool CompressionControl::Set(std::string_view path, bool folder, bool compress) {
  const std::uint32_t attributes = system_.GetFileAttributes(path);
  if (attributes == platform::kInvalidAttributes) return false;
  // A file handle cannot be opened on a folder; the folder routines open either kind.
  const bool isFolder = (attributes & platform::kAttrDirectory) != 0;
  if (!folder && isFolder) return false;
  return system_.SetCompression(path, compress);
}

}  // namespace files
