#include "platform/recorder_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/unique_fd.h"

namespace platform {

RecorderReply AskRecorder(const std::string& socketPath, std::uint32_t code, int timeoutMs) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) return RecorderReply::None;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

  const UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return RecorderReply::None;
  int connected = 0;
  do {
    connected = ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (connected != 0 && errno == EINTR);
  // A socket (or its folder) open to the recorder's group only turns others away here.
  if (connected != 0) return errno == EACCES || errno == EPERM ? RecorderReply::Refused : RecorderReply::None;

  const unsigned char message[4] = {
      static_cast<unsigned char>(code), static_cast<unsigned char>(code >> 8),
      static_cast<unsigned char>(code >> 16), static_cast<unsigned char>(code >> 24)};
  for (std::size_t sent = 0; sent < sizeof message;) {
    const ssize_t count = ::send(fd.Get(), message + sent, sizeof message - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return RecorderReply::None;
    sent += static_cast<std::size_t>(count);
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return RecorderReply::None;
    pollfd wait{fd.Get(), POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return RecorderReply::None;
    unsigned char reply = 0;
    const ssize_t count = ::recv(fd.Get(), &reply, 1, 0);
    if (count < 0 && errno == EINTR) continue;
    if (count != 1) return RecorderReply::None;
    return reply == kRecorderRefused ? RecorderReply::Refused : RecorderReply::Done;
  }
}

bool SendRecorderCode(const std::string& socketPath, std::uint32_t code, int timeoutMs) {
  return AskRecorder(socketPath, code, timeoutMs) != RecorderReply::None;
}

}  // namespace platform
