#pragma once
// The recorder's control channel: a Unix-domain stream socket. A control is the 4-byte
// little-endian code; the recorder answers with one byte once it has done what was asked,
// or with kRecorderRefused at once when the caller may not borrow its files.

#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kRecorderReplyTimeoutMs = 10000;
inline constexpr std::uint8_t kRecorderRefused = 2;

enum class RecorderReply {
  None,     // nobody listens, the path cannot be a socket address, or no reply in time
  Done,
  Refused,  // the recorder, or the socket's permissions, turned the caller away
};

RecorderReply AskRecorder(const std::string& socketPath, std::uint32_t code,
                          int timeoutMs = kRecorderReplyTimeoutMs);

// True when a recorder answered at all, refusing or not (someone listens there).
bool SendRecorderCode(const std::string& socketPath, std::uint32_t code,
                      int timeoutMs = kRecorderReplyTimeoutMs);

}  // namespace platform
