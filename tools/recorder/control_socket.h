#pragma once
// The listening end of the recorder's control channel: a Unix-domain stream socket that
// takes a 4-byte little-endian code and answers one byte once the work is done.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/unique_fd.h"

namespace recorder_tool {

class ControlSocket {
 public:
  // Creates the socket (and its folder); a stale socket file left by a dead recorder is
  // replaced, a live one is not. False (with `error`) when it cannot listen.
  bool Listen(const std::string& path, std::string* error);
  ~ControlSocket();
  int Descriptor() const { return listener_.Get(); }

  // Accepts one caller and reads its code; nullopt when the caller sent no whole code.
  // The caller stays connected until Reply.
  std::optional<std::uint32_t> Accept();
  void Reply(std::uint8_t answer);

 private:
  platform::UniqueFd listener_;
  platform::UniqueFd caller_;
  std::string path_;
};

}  // namespace recorder_tool
