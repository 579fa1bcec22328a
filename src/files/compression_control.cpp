#include "files/compression_control.h"

#include "platform/system.h"

namespace files {

bool CompressionControl::Set(std::string_view path, bool folder, bool compress) {
  // Opened once, as what the entry is: a link, a device or a pipe is never opened, and a
  // file handle is never opened on a folder.
  const auto file = system_.OpenForAction(path, folder ? platform::OpenFor::Folder : platform::OpenFor::Writing,
                                          nullptr);
  return file != nullptr && file->SetCompression(compress);
}

}  // namespace files
