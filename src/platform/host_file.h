#pragma once
// platform::File over a host file descriptor.

#include <memory>
#include <string>

#include "platform/system.h"
#include "platform/unique_fd.h"

namespace platform {

class HostFile final : public File {
 public:
  explicit HostFile(UniqueFd fd) : fd_(std::move(fd)) {}

  std::int64_t Read(void* buffer, std::size_t size) override;
  bool Write(const void* data, std::size_t size) override;
  bool Seek(std::uint64_t offset) override;
  bool Truncate(std::uint64_t length) override;
  std::optional<std::uint64_t> Length() override;
  bool Flush() override;
  bool Close() override;

 private:
  UniqueFd fd_;
};

// Opens a regular file. Anything else (directory, device, pipe, socket) is refused, and
// opening never blocks on a pipe. Sets errno on failure.
std::unique_ptr<File> OpenHostFile(const std::string& hostPath, const OpenOptions& options);

// read() and write() that retry interrupted and partial transfers.
std::int64_t ReadFully(int fd, void* buffer, std::size_t size);
bool WriteFully(int fd, const void* data, std::size_t size);

}  // namespace platform
