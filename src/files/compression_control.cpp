#include "files/compression_control.h"

#include <string>

namespace files {

platform::StepResult CompressionControl::SetFile(std::string_view path, bool compress, std::uint64_t namesInRun) {
  // Opened once, as what the entry is: a link, a device or a pipe is never opened.
  const auto file = system_.OpenForAction(path, platform::OpenFor::Writing, nullptr);
  if (file == nullptr) return {};
  // Counted on the open file, not taken from the scan: a link made since counts too.
  if (const std::uint64_t links = file->LinkCount(); links > namesInRun) {
    return platform::StepResult::Refused("it has " + std::to_string(links) + " hard links and " +
                                         std::to_string(namesInRun) +
                                         " of them are selected: its compression is one for every link");
  }
  return file->SetCompression(compress);
}

bool CompressionControl::SetFolder(std::string_view path, bool compress) {
  // A file handle is never opened on a folder.
  const auto folder = system_.OpenForAction(path, platform::OpenFor::Folder, nullptr);
  return folder != nullptr && folder->SetCompression(compress).done;
}

}  // namespace files
