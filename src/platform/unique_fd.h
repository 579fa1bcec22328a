#pragma once
// Owns a POSIX file descriptor and closes it once.

#include <unistd.h>

#include <utility>

namespace platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  explicit operator bool() const { return Valid(); }
  // Closes now and reports the close's result (true when there was nothing to close).
  bool Close() { return Reset(); }
  int Release() { return std::exchange(fd_, -1); }

 private:
  bool Reset(int fd = -1) {
    const int old = std::exchange(fd_, fd);
    return old < 0 || ::close(old) == 0;
  }

  int fd_ = -1;
};

}  // namespace platform
