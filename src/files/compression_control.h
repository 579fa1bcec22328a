#pragma once
// The one place that changes a file's or a folder's compression. Each routine answers
// true only when the filesystem really did it; a missing path, a path of the wrong kind
// or a filesystem without per-file compression is a silent false, and the caller
// decides what that means.

#include <string_view>

namespace platform { class System; }

namespace files {

class CompressionControl {
 public:
  explicit CompressionControl(platform::System& system) : system_(system) {}

  bool CompressFile(std::string_view path) { return Set(path, false, true); }
  bool CompressFolder(std::string_view path) { return Set(path, true, true); }
  bool DecompressFile(std::string_view path) { return Set(path, false, false); }
  bool DecompressFolder(std::string_view path) { return Set(path, true, false); }

 private:
  bool Set(std::string_view path, bool folder, bool compress);

  platform::System& system_;
};

}  // namespace files
