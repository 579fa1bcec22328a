#include "support/faulty_system.h"

#include <cctype>
#include <cerrno>
#include <vector>

#include "platform/windows_path.h"

namespace testing_support {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A file whose writes stop when the shared budget runs out.
class BudgetedFile final : public platform::File {
 public:
  BudgetedFile(std::unique_ptr<platform::File> inner, std::shared_ptr<std::atomic<std::int64_t>> left)
      : inner_(std::move(inner)), left_(std::move(left)) {}

  std::int64_t Read(void* buffer, std::size_t size) override { return inner_->Read(buffer, size); }
  bool Write(const void* data, std::size_t size) override {
    const std::int64_t before = left_->fetch_sub(static_cast<std::int64_t>(size));
    if (before >= static_cast<std::int64_t>(size)) return inner_->Write(data, size);
    if (before > 0) inner_->Write(data, static_cast<std::size_t>(before));
    left_->store(0);
    errno = ENOSPC;
    return false;
  }
  bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
  bool Truncate(std::uint64_t length) override { return inner_->Truncate(length); }
  std::optional<std::uint64_t> Length() override { return inner_->Length(); }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<platform::File> inner_;
  std::shared_ptr<std::atomic<std::int64_t>> left_;
};

}  // namespace

PathPredicate PathStartsWith(std::string prefix) {
  return [prefix = Upper(prefix)](std::string_view path) { return Upper(path).starts_with(prefix); };
}

PathPredicate FileNamed(std::string name) {
  return [name = Upper(name)](std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return Upper(last) == name;
  };
}

void FaultySystem::Fail(Operation operation, FaultRule rule) {
  const std::lock_guard lock(mutex_);
  rules_.emplace(operation, ActiveRule{std::move(rule)});
}

void FaultySystem::DiskFullAfter(std::uint64_t bytes, PathPredicate matches) {
  const std::lock_guard lock(mutex_);
  diskFullMatches_ = std::move(matches);
  diskLeft_ = std::make_shared<std::atomic<std::int64_t>>(static_cast<std::int64_t>(bytes));
}

void FaultySystem::ShortCopies(FaultRule rule) {
  const std::lock_guard lock(mutex_);
  shortCopy_ = std::move(rule);
  shortCopySeen_ = shortCopyFailed_ = 0;
}

void FaultySystem::ReadOnlyRoot(char letter) {
  const std::lock_guard lock(mutex_);
  readOnlyRoots_ += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

void FaultySystem::FixClock(std::optional<std::int64_t> epochSeconds) {
  const std::lock_guard lock(mutex_);
  clock_ = epochSeconds;
}

void FaultySystem::Reset() {
  const std::lock_guard lock(mutex_);
  rules_.clear();
  calls_.clear();
  shortCopy_.reset();
  diskFullMatches_.reset();
  diskLeft_.reset();
  readOnlyRoots_.clear();
  recorderAbsent_ = false;
  clock_.reset();
  recorderCodes_.clear();
}

int FaultySystem::Calls(Operation operation) const {
  const std::lock_guard lock(mutex_);
  const auto found = calls_.find(operation);
  return found == calls_.end() ? 0 : found->second;
}

std::vector<std::uint32_t> FaultySystem::RecorderCodes() const {
  const std::lock_guard lock(mutex_);
  return recorderCodes_;
}

bool FaultySystem::ShouldFail(Operation operation, std::string_view path) const {
  const std::lock_guard lock(mutex_);
  ++calls_[operation];
  const auto [begin, end] = rules_.equal_range(operation);
  for (auto it = begin; it != end; ++it) {
    ActiveRule& active = it->second;
    if (active.rule.matches && !active.rule.matches(path)) continue;
    if (active.seen++ < active.rule.succeedFirst) continue;
    if (active.rule.failCount >= 0 && active.failed >= active.rule.failCount) continue;
    ++active.failed;
    errno = EIO;
    return true;
  }
  return false;
}

bool FaultySystem::AtReadOnlyRoot(std::string_view path) const {
  const auto letter = platform::DriveLetterOf(path);
  {
    const std::lock_guard lock(mutex_);
    if (!letter || readOnlyRoots_.find(*letter) == std::string::npos) return false;
  }
  // "X:\name": exactly one component below the root.
  std::string_view rest = path.substr(2);
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.remove_prefix(1);
  while (!rest.empty() && (rest.back() == '\\' || rest.back() == '/')) rest.remove_suffix(1);
  if (rest.empty() || rest.find_first_of("\\/") != std::string_view::npos) return false;
  errno = EROFS;
  return true;
}

std::unique_ptr<platform::File> FaultySystem::OpenFile(std::string_view windowsPath,
                                                       const platform::OpenOptions& options) {
  const bool changes = options.write || options.mode != platform::OpenMode::OpenExisting;
  if (ShouldFail(Operation::Open, windowsPath)) return nullptr;
  if (changes && AtReadOnlyRoot(windowsPath)) return nullptr;
  auto file = Inner().OpenFile(windowsPath, options);
  if (!file) return nullptr;
  std::shared_ptr<std::atomic<std::int64_t>> left;
  {
    const std::lock_guard lock(mutex_);
    if (diskFullMatches_ && (!*diskFullMatches_ || (*diskFullMatches_)(windowsPath))) {
      left = diskLeft_;
    }
  }
  if (left) return std::make_unique<BudgetedFile>(std::move(file), std::move(left));
  return file;
}

bool FaultySystem::CutShort(std::string_view to) {
  const std::lock_guard lock(mutex_);
  if (shortCopy_ && (!shortCopy_->matches || shortCopy_->matches(to)) &&
      shortCopySeen_++ >= shortCopy_->succeedFirst &&
      (shortCopy_->failCount < 0 || shortCopyFailed_ < shortCopy_->failCount)) {
    ++shortCopyFailed_;
    return true;
  }
  return false;
}

void FaultySystem::WriteHalf(std::string_view from, std::string_view to) {
  auto source = Inner().OpenFile(from, {});
  if (source) {
    const std::uint64_t half = source->Length().value_or(0) / 2;
    std::vector<char> data(static_cast<std::size_t>(half));
    if (source->Read(data.data(), data.size()) >= 0) {
      auto target = Inner().OpenFile(to, {platform::OpenMode::CreateAlways, true, false});
      if (target) target->Write(data.data(), data.size());
    }
  }
  errno = EIO;
}

bool FaultySystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  if (ShouldFail(Operation::Copy, to) || AtReadOnlyRoot(to)) return false;
  if (!CutShort(to)) return Inner().CopyFile(from, to, failIfExists);
  WriteHalf(from, to);
  return false;
}

platform::StepResult FaultySystem::CopyOpenFile(platform::ActionFile& from, std::string_view to, bool failIfExists) {
  if (ShouldFail(Operation::Copy, to) || AtReadOnlyRoot(to)) return {};
  if (!CutShort(to)) return Inner().CopyOpenFile(from, to, failIfExists);
  WriteHalf(from.Path(), to);
  return {};
}

bool FaultySystem::MoveFile(std::string_view from, std::string_view to) {
  if (ShouldFail(Operation::Move, to) || AtReadOnlyRoot(to) || AtReadOnlyRoot(from)) return false;
  return Inner().MoveFile(from, to);
}

bool FaultySystem::DeleteFile(std::string_view windowsPath) {
  if (ShouldFail(Operation::Delete, windowsPath) || AtReadOnlyRoot(windowsPath)) return false;
  return Inner().DeleteFile(windowsPath);
}

bool FaultySystem::CreateDirectory(std::string_view windowsPath) {
  if (ShouldFail(Operation::CreateDirectory, windowsPath) || AtReadOnlyRoot(windowsPath)) return false;
  return Inner().CreateDirectory(windowsPath);
}

bool FaultySystem::CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) {
  if (ShouldFail(Operation::CreateDirectory, windowsPath) || AtReadOnlyRoot(windowsPath)) return false;
  return Inner().CreateDirectoryLike(windowsPath, modelFolder);
}

bool FaultySystem::SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) {
  if (ShouldFail(Operation::SetAttributes, windowsPath) || AtReadOnlyRoot(windowsPath)) return false;
  return Inner().SetFileAttributes(windowsPath, attributes);
}

bool FaultySystem::SetCompression(std::string_view windowsPath, bool compress) {
  if (ShouldFail(Operation::SetCompression, windowsPath)) return false;
  return Inner().SetCompression(windowsPath, compress);
}

bool FaultySystem::ListDirectory(std::string_view windowsFolder,
                                 const std::function<bool(const platform::FindData&)>& visit) const {
  if (ShouldFail(Operation::List, windowsFolder)) return false;
  return Inner().ListDirectory(windowsFolder, visit);
}

platform::RecorderReply FaultySystem::SendRecorderControl(std::uint32_t code) {
  {
    const std::lock_guard lock(mutex_);
    recorderCodes_.push_back(code);
  }
  if (recorderAbsent_) return platform::RecorderReply::None;
  if (recorderRefuses_) return platform::RecorderReply::Refused;
  return Inner().SendRecorderControl(code);
}

std::int64_t FaultySystem::Now() const {
  {
    const std::lock_guard lock(mutex_);
    if (clock_) return *clock_;
  }
  return Inner().Now();
}

}  // namespace testing_support
