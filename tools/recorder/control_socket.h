#pragma once
// The listening end of the recorder's control channel: a Unix-domain stream socket that
// takes a 4-byte little-endian code and answers one byte once the work is done.
//
// The state folder's group is the recorder's: the socket and its folder are open to that
// group only, and every caller's credentials are checked again on each control, so that
// the files' modes are not the only guard. Allowed are root, the recorder's own user and
// members of that group; others are refused (and logged) at once.

#include <sys/types.h>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "platform/unique_fd.h"

namespace recorder_tool {

class ControlSocket {
 public:
  // Refusals are logged on `log`.
  explicit ControlSocket(std::ostream& log) : log_(log) {}

  // Creates the socket (and its folder) for the group of `stateDir`; a stale socket file
  // left by a dead recorder is replaced, a live one is not. False (with `error`) when it
  // cannot listen.
  bool Listen(const std::string& path, const std::string& stateDir, std::string* error);
  ~ControlSocket();
  int Descriptor() const { return listener_.Get(); }

  // Accepts one caller and reads its code; nullopt when the caller sent no whole code or
  // was refused (and already told so). The caller stays connected until Reply.
  std::optional<std::uint32_t> Accept();
  void Reply(std::uint8_t answer);

 private:
  bool CallerAllowed();

  std::ostream& log_;
  gid_t group_ = 0;
  platform::UniqueFd listener_;
  platform::UniqueFd caller_;
  std::string path_;
};

}  // namespace recorder_tool
