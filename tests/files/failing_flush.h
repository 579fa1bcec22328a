#pragma once
// Flushes that fail as on a failing disk, for the tests of what a failed flush does. The
// files tests are linked with --wrap=fsync, so every fsync the program makes comes here
// first; it goes through unless it flushes one of the folders a FailingFlushes names.

#include <string>
#include <vector>

namespace engine_test {

class FailingFlushes {
 public:
  // Every fsync of these host folders fails with EIO while this object lives.
  explicit FailingFlushes(std::vector<std::string> hostFolders);
  ~FailingFlushes();
  FailingFlushes(const FailingFlushes&) = delete;
  FailingFlushes& operator=(const FailingFlushes&) = delete;
};

}  // namespace engine_test
