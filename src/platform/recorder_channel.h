#pragma once
// The recorder's control channel: a Unix-domain stream socket. A control is the 4-byte
// little-endian code; the recorder answers with one byte once it has done what was asked.

#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kRecorderReplyTimeoutMs = 10000;

// False when nobody listens on `socketPath`, the path is too long for a socket address,
// or no reply arrives within `timeoutMs`.
bool SendRecorderCode(const std::string& socketPath, std::uint32_t code,
                      int timeoutMs = kRecorderReplyTimeoutMs);

}  // namespace platform
