// The recorder's control socket: a caller sends whatever the input holds and stops
// writing. The recorder takes a code only from four whole bytes (little-endian) and
// answers exactly one byte to it; a caller that sent fewer gets no answer.

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "platform/unique_fd.h"
#include "recorder/control_socket.h"
#include "support/fuzz_check.h"
#include "support/scratch_drives.h"

namespace {

platform::UniqueFd Connect(const std::string& path) {
  platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  FUZZ_CHECK(fd && ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;  // more than a socket buffer would block the caller
  auto& drives = fuzz_support::ScratchDrives::Fresh();
  const std::string path = drives.Dir() + "/control.sock";
  std::ostringstream log;
  recorder_tool::ControlSocket control(log);
  std::string error;
  FUZZ_CHECK(control.Listen(path, drives.Dir(), &error));

  const platform::UniqueFd caller = Connect(path);
  FUZZ_CHECK(::send(caller.Get(), data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size));
  ::shutdown(caller.Get(), SHUT_WR);

  const auto code = control.Accept();
  FUZZ_CHECK(code.has_value() == (size >= 4));
  if (code) {
    const std::uint32_t expected = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                                   std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
    FUZZ_CHECK(*code == expected);
    control.Reply(static_cast<std::uint8_t>(expected));
  }
  std::uint8_t reply[2];
  const ssize_t got = ::recv(caller.Get(), reply, sizeof reply, MSG_WAITALL);
  FUZZ_CHECK(got == (code ? 1 : 0));
  if (code) FUZZ_CHECK(reply[0] == static_cast<std::uint8_t>(*code));
  return 0;
}
