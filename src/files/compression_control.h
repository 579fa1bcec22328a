#pragma once
// The one place that changes a file's or a folder's compression. Each routine is done
// only when the filesystem really did it; a missing path, a path of the wrong kind or a
// filesystem without per-file compression is a silent failure (no reason), and the
// caller decides what that means. What is refused for a reason of its own says why:
// data shared with another file or a snapshot, or a file with names left out of the run.

#include <cstdint>
#include <string_view>

#include "platform/system.h"

namespace files {

class CompressionControl {
 public:
  explicit CompressionControl(platform::System& system) : system_(system) {}

  // `namesInRun`: how many of the file's names the run changes the same way. A file with
  // more names than that is refused: its compression is one for all of them.
  platform::StepResult CompressFile(std::string_view path, std::uint64_t namesInRun = 1) {
    return SetFile(path, true, namesInRun);
  }
  platform::StepResult DecompressFile(std::string_view path, std::uint64_t namesInRun = 1) {
    return SetFile(path, false, namesInRun);
  }
  bool CompressFolder(std::string_view path) { return SetFolder(path, true); }
  bool DecompressFolder(std::string_view path) { return SetFolder(path, false); }

 private:
  platform::StepResult SetFile(std::string_view path, bool compress, std::uint64_t namesInRun);
  bool SetFolder(std::string_view path, bool compress);

  platform::System& system_;
};

}  // namespace files
