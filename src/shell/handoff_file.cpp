#include "shell/handoff_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>

#include "activity/byte_order.h"
#include "files/action_codes.h"
#include "platform/unique_fd.h"
#include "scan/folder_info.h"

namespace shell {
namespace {

using files::kActionBackUp;
using files::kActionCompress;
using files::kActionDecompress;
using files::kActionRestore;

class Encoder {
 public:
  explicit Encoder(std::uint32_t count) : bytes_(4) { activity::bytes::PutU32(bytes_.data(), count); }

  // Iterative, so a very deep tree cannot exhaust the stack.
  void Walk(const scan::CFolderInfo& root) {
    struct Frame {
      const scan::CFolderInfo* record;
      std::uint32_t next;
      std::size_t pathLength;
    };
    std::vector<Frame> stack{{&root, 0, 0}};
    std::string path;
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next == frame.record->Count()) {
        stack.pop_back();
        continue;
      }
      const std::uint32_t i = frame.next++;
      const scan::CFolderInfo& record = *frame.record;
      path.resize(frame.pathLength);
      const std::string_view name = record.names(i);
      if (record.actions()[i] != 0) Put(path, name, record, i);
      if (record.kinds()[i] == scan::kKindFolder) {
        if (const scan::CFolderInfo* child = record.GetChild(i); child && child->Count() > 0) {
          path.append(name);
          path.push_back('\\');
          stack.push_back({child, 0, path.size()});
        }
      }
    }
  }

  std::vector<std::uint8_t> Take() { return std::move(bytes_); }
  std::size_t Skipped() const { return skipped_; }

 private:
  void Put(const std::string& path, std::string_view name, const scan::CFolderInfo& record,
           std::uint32_t i) {
    const std::size_t length = path.size() + name.size();
    if (length > std::numeric_limits<std::uint16_t>::max()) {
      ++skipped_;
      return;
    }
    const std::size_t at = bytes_.size();
    bytes_.resize(at + 2 + length + 3);
    std::uint8_t* out = bytes_.data() + at;
    activity::bytes::PutU16(out, static_cast<std::uint16_t>(length));
    out += 2;
    out = std::copy(path.begin(), path.end(), out);
    out = std::copy(name.begin(), name.end(), out);
    out[0] = record.actions()[i];
    out[1] = record.kinds()[i];
    out[2] = record.backupDrives()[i];
  }

  std::vector<std::uint8_t> bytes_;
  std::size_t skipped_ = 0;
};

bool IsLetter(std::uint8_t c) { return c >= 'A' && c <= 'Z'; }

// A text that names a drive ("D:") or something on one ("D:\Work\a.txt"). No writer
// puts a '/' in a path, and the host would read it as a separator: "D:\a/b" would be a
// second record for the file "D:\a\b", acted on twice.
bool IsDrivePath(std::string_view path) {
  if (path.size() < 2 || !IsLetter(static_cast<std::uint8_t>(path[0])) || path[1] != ':') return false;
  if (path.size() == 2) return true;
  return path[2] == '\\' && path.size() > 3 && path.back() != '\\' &&
         path.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

std::vector<std::uint8_t> EncodeHandOff(const scan::CFolderInfo& driveList,
                                        std::uint32_t pendingActionCount, std::size_t* skipped) {
  Encoder encoder(pendingActionCount);
  encoder.Walk(driveList);
  if (skipped) *skipped = encoder.Skipped();
  return encoder.Take();
}

bool WriteHandOffFile(const std::string& directory, std::span<const std::uint8_t> bytes,
                      const std::string& fileName) {
  const std::string path = directory.empty() ? fileName : directory + "/" + fileName;
  // Written beside the real name and renamed over it, so a crash never leaves half a
  // list for the background program to act on.
  const std::string temporary = path + ".new";
  bool written = false;
  {
    platform::UniqueFd fd(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    written = done == bytes.size() && ::fsync(fd.Get()) == 0;
    written = fd.Close() && written;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

std::optional<HandOffTable> DecodeHandOff(std::span<const std::uint8_t> bytes, std::string* error) {
  const auto fail = [error](std::string text) -> std::optional<HandOffTable> {
    if (error) *error = std::move(text);
    return std::nullopt;
  };
  if (bytes.size() < 4) return fail("the file is shorter than its count");
  HandOffTable table;
  table.count = activity::bytes::GetU32(bytes.data());
  std::size_t at = 4;
  while (at < bytes.size()) {
    const std::string where = "record " + std::to_string(table.entries.size() + 1);
    if (bytes.size() - at < 2) return fail(where + " is cut off in its length");
    const std::size_t length = activity::bytes::GetU16(bytes.data() + at);
    at += 2;
    if (bytes.size() - at < length + 3) return fail(where + " runs past the end of the file");
    HandOffEntry entry;
    entry.path.assign(reinterpret_cast<const char*>(bytes.data() + at), length);
    at += length;
    entry.action = bytes[at];
    entry.kind = bytes[at + 1];
    entry.backupDrive = bytes[at + 2];
    at += 3;
    if (!IsDrivePath(entry.path)) return fail(where + " does not name a drive or a file on one");
    if (entry.action != kActionCompress && entry.action != kActionDecompress &&
        entry.action != kActionBackUp && entry.action != kActionRestore) {
      return fail(where + " has an unknown action " + std::to_string(entry.action));
    }
    if (entry.kind != scan::kKindFolder && entry.kind != scan::kKindFile) {
      return fail(where + " has an unknown kind " + std::to_string(entry.kind));
    }
    if ((entry.action == kActionBackUp || entry.action == kActionRestore) &&
        !IsLetter(entry.backupDrive)) {
      return fail(where + " has no backup drive letter");
    }
    table.entries.push_back(std::move(entry));
  }
  return table;
}

std::optional<HandOffTable> ReadHandOffFile(const std::string& hostPath, std::string* error,
                                            std::uint64_t maxBytes) {
  const auto fail = [error](std::string text) -> std::optional<HandOffTable> {
    if (error) *error = std::move(text);
    return std::nullopt;
  };
  platform::UniqueFd fd(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return fail("cannot open " + hostPath);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return fail(hostPath + " is not a file");
  if (static_cast<std::uint64_t>(info.st_size) > maxBytes) return fail(hostPath + " is too large");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail("cannot read " + hostPath);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return DecodeHandOff(bytes, error);
}

}  // namespace shell
