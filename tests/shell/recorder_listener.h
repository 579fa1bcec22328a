#pragma once
// A stand-in recorder for tests: listens on the recorder's socket, reads each 4-byte
// control code, lets the test look at the moment it arrives, then replies with one byte.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class RecorderListener {
 public:
  using OnCode = std::function<void(std::uint32_t code)>;

  RecorderListener(std::string socketPath, OnCode onCode = {})
      : path_(std::move(socketPath)), onCode_(std::move(onCode)) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
    ::unlink(path_.c_str());
    listening_ = fd_ >= 0 &&
                 ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(fd_, 4) == 0;
    if (listening_) thread_ = std::thread([this] { Serve(); });
  }
  ~RecorderListener() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
    ::unlink(path_.c_str());
  }
  RecorderListener(const RecorderListener&) = delete;
  RecorderListener& operator=(const RecorderListener&) = delete;

  bool Listening() const { return listening_; }
  std::vector<std::uint32_t> Codes() const {
    std::lock_guard lock(mutex_);
    return codes_;
  }

 private:
  void Serve() {
    while (!stop_) {
      pollfd wait{fd_, POLLIN, 0};
      if (::poll(&wait, 1, 20) <= 0) continue;
      const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      std::uint8_t bytes[4];
      std::size_t got = 0;
      while (got < sizeof bytes) {
        const ssize_t n = ::read(client, bytes + got, sizeof bytes - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
      }
      if (got == sizeof bytes) {
        const std::uint32_t code = bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                   static_cast<std::uint32_t>(bytes[3]) << 24;
        if (onCode_) onCode_(code);
        {
          std::lock_guard lock(mutex_);
          codes_.push_back(code);
        }
        const std::uint8_t done = 1;
        [[maybe_unused]] const ssize_t sent = ::write(client, &done, 1);
      }
      ::close(client);
    }
  }

  std::string path_;
  OnCode onCode_;
  int fd_ = -1;
  bool listening_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::uint32_t> codes_;
};

}  // namespace testing_support
