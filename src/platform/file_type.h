#pragma once
// What kind of file a directory item is, as the scan tells them apart.

#include <cstdint>

namespace platform {

enum class FileType : std::uint8_t {
  Regular,
  Directory,
  SymbolicLink,
  Fifo,
  Socket,
  CharacterDevice,
  BlockDevice,
};

}  // namespace platform
