#include "failing_flush.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

extern "C" int __real_fsync(int fd);

namespace engine_test {
namespace {

struct Failing {
  std::mutex mutex;
  std::vector<std::string> folders;
};

Failing& Shared() {
  static Failing failing;
  return failing;
}

std::string PathOf(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t size = ::readlink(link, target, sizeof target);
  return size > 0 ? std::string(target, static_cast<std::size_t>(size)) : std::string();
}

bool FlushFails(int fd) {
  Failing& failing = Shared();
  const std::lock_guard lock(failing.mutex);
  if (failing.folders.empty()) return false;
  const std::string path = PathOf(fd);
  for (const std::string& folder : failing.folders) {
    if (folder == path) return true;
  }
  return false;
}

}  // namespace

FailingFlushes::FailingFlushes(std::vector<std::string> hostFolders) {
  const std::lock_guard lock(Shared().mutex);
  Shared().folders = std::move(hostFolders);
}

FailingFlushes::~FailingFlushes() {
  const std::lock_guard lock(Shared().mutex);
  Shared().folders.clear();
}

}  // namespace engine_test

extern "C" int __wrap_fsync(int fd) {
  if (engine_test::FlushFails(fd)) {
    errno = EIO;
    return -1;
  }
  return __real_fsync(fd);
}
