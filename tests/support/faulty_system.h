#pragma once
// A System that fails chosen calls, for tests of what the program does when the disk is
// full, a copy breaks, a root is read-only or the recorder is absent. Every rule can be
// limited to paths matching a predicate and can let a number of calls succeed first.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forwarding_system.h"

namespace testing_support {

enum class Operation {
  Open,
  Copy,
  Delete,
  CreateDirectory,
  Move,
  SetAttributes,
  SetCompression,
  List,
};

using PathPredicate = std::function<bool(std::string_view windowsPath)>;

// Matches paths that begin with `prefix` (case-insensitive, as Windows paths compare).
PathPredicate PathStartsWith(std::string prefix);
// Matches paths whose last component equals `name` (case-insensitive).
PathPredicate FileNamed(std::string name);

struct FaultRule {
  PathPredicate matches;          // empty: every path
  int succeedFirst = 0;           // calls matching the rule that still succeed
  int failCount = -1;             // how many calls then fail; -1: all later ones
};

class FaultySystem : public platform::ForwardingSystem {
 public:
  explicit FaultySystem(platform::System& inner) : ForwardingSystem(inner) {}

  // Fails `operation` as the rule says.
  void Fail(Operation operation, FaultRule rule = {});
  // Writes through files opened from now on stop once `bytes` have been written in all
  // (the last write is cut short and reports failure), as on a full disk.
  void DiskFullAfter(std::uint64_t bytes, PathPredicate matches = {});
  // Copies fail after writing only the first half of the source to the target (which the
  // failing call leaves behind, as a crash would).
  void ShortCopies(FaultRule rule = {});
  // Creating, writing, copying, moving into, deleting or making folders directly at the
  // root of `letter` fails, as on a read-only root; reading goes on.
  void ReadOnlyRoot(char letter);
  // No recorder listens: every control fails.
  void RecorderAbsent(bool absent = true) { recorderAbsent_ = absent; }
  // The recorder turns this user away: every control is refused.
  void RecorderRefuses() { recorderRefuses_ = true; }
  // Now() answers `epochSeconds` until cleared.
  void FixClock(std::optional<std::int64_t> epochSeconds);
  void Reset();

  // Calls that reached this decorator, failed or not.
  int Calls(Operation operation) const;
  std::vector<std::uint32_t> RecorderCodes() const;

  std::unique_ptr<platform::File> OpenFile(std::string_view windowsPath,
                                           const platform::OpenOptions& options) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool MoveFile(std::string_view from, std::string_view to) override;
  bool DeleteFile(std::string_view windowsPath) override;
  bool CreateDirectory(std::string_view windowsPath) override;
  bool CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) override;
  platform::StepResult CopyOpenFile(platform::ActionFile& from, std::string_view to, bool failIfExists) override;
  bool SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) override;
  bool SetCompression(std::string_view windowsPath, bool compress) override;
  bool ListDirectory(std::string_view windowsFolder,
                     const std::function<bool(const platform::FindData&)>& visit) const override;
  platform::RecorderReply SendRecorderControl(std::uint32_t code) override;
  std::int64_t Now() const override;

 private:
  struct ActiveRule {
    FaultRule rule;
    int seen = 0;
    int failed = 0;
  };

  // Counts the call and says whether it fails.
  bool ShouldFail(Operation operation, std::string_view path) const;
  bool AtReadOnlyRoot(std::string_view path) const;
  // Whether this copy is one ShortCopies cuts short (counting it).
  bool CutShort(std::string_view to);
  // What a cut-short copy leaves: the first half of `from` written to `to`.
  void WriteHalf(std::string_view from, std::string_view to);

  mutable std::mutex mutex_;
  mutable std::multimap<Operation, ActiveRule> rules_;
  mutable std::map<Operation, int> calls_;
  std::optional<FaultRule> shortCopy_;
  int shortCopySeen_ = 0;
  int shortCopyFailed_ = 0;
  std::optional<PathPredicate> diskFullMatches_;
  std::shared_ptr<std::atomic<std::int64_t>> diskLeft_;
  std::string readOnlyRoots_;
  std::atomic<bool> recorderAbsent_{false};
  std::atomic<bool> recorderRefuses_{false};
  std::optional<std::int64_t> clock_;
  std::vector<std::uint32_t> recorderCodes_;
};

}  // namespace testing_support
