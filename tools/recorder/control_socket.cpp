#include "control_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>
#include <sstream>

#include "platform/recorder_channel.h"

namespace recorder_tool {
namespace {

constexpr int kCallerTimeoutMs = 2000;

// Creates the folders on the way to `path`; true when the last one is new (so its
// modes are the recorder's to set).
bool MakeParents(const std::string& path) {
  bool created = false;
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    created = ::mkdir(path.substr(0, slash).c_str(), 0700) == 0;
  }
  return created;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Whether the process `pid` has `group` among its supplementary groups ("Groups:" of its
// status; SO_PEERCRED gives only the primary one).
bool HasSupplementaryGroup(pid_t pid, gid_t group) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (!line.starts_with("Groups:")) continue;
    std::istringstream groups(line.substr(7));
    for (gid_t member = 0; groups >> member;) {
      if (member == group) return true;
    }
    return false;
  }
  return false;
}

}  // namespace

bool ControlSocket::Listen(const std::string& path, const std::string& stateDir, std::string* error) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof address.sun_path) {
    *error = "control socket path '" + path + "' is empty or too long";
    return false;
  }
  // Another recorder answering here owns the databases: never take them from it.
  if (platform::SendRecorderCode(path, 0, 500)) {
    *error = "a recorder is already listening on " + path;
    return false;
  }
  struct stat state{};
  group_ = ::stat(stateDir.c_str(), &state) == 0 ? state.st_gid : ::getegid();
  const bool newFolder = MakeParents(path);
  ::unlink(path.c_str());
  listener_ = platform::UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size());
  if (!listener_ || ::bind(listener_.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_.Get(), 8) != 0) {
    *error = "cannot listen on " + path + ": " + std::strerror(errno);
    return false;
  }
  path_ = path;
  // Open to the group only: a folder made elsewhere (systemd's runtime folder, /tmp) keeps
  // the modes its maker chose.
  if (newFolder) {
    const std::string folder = FolderOf(path);
    (void)::chown(folder.c_str(), static_cast<uid_t>(-1), group_);
    (void)::chmod(folder.c_str(), 0750);
  }
  (void)::chown(path.c_str(), static_cast<uid_t>(-1), group_);
  (void)::chmod(path.c_str(), 0660);
  return true;
}

bool ControlSocket::CallerAllowed() {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(caller_.Get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
  if (peer.uid == 0 || peer.uid == ::geteuid() || peer.gid == group_) return true;
  if (HasSupplementaryGroup(peer.pid, group_)) return true;
  log_ << "norvex-recorder: refused a control from uid " << peer.uid << " (pid " << peer.pid
       << "): not in group " << group_ << "\n";
  return false;
}

ControlSocket::~ControlSocket() {
  if (!path_.empty()) ::unlink(path_.c_str());
}

std::optional<std::uint32_t> ControlSocket::Accept() {
  caller_ = platform::UniqueFd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (!caller_) return std::nullopt;
  std::uint8_t bytes[4];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    // A caller that connects and says nothing must not stall the recorder.
    pollfd waiting{caller_.Get(), POLLIN, 0};
    if (::poll(&waiting, 1, kCallerTimeoutMs) <= 0) break;
    const ssize_t n = ::read(caller_.Get(), bytes + got, sizeof bytes - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got < sizeof bytes) {
    caller_.Close();
    return std::nullopt;
  }
  if (!CallerAllowed()) {
    Reply(platform::kRecorderRefused);
    return std::nullopt;
  }
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}

void ControlSocket::Reply(std::uint8_t answer) {
  if (!caller_) return;
  (void)::send(caller_.Get(), &answer, 1, MSG_NOSIGNAL);
  caller_.Close();
}

}  // namespace recorder_tool
