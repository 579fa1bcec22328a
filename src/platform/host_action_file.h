#pragma once
// platform::ActionFile over a host descriptor, and how one is opened or created in the
// folder an action works in.

#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/action_path.h"
#include "platform/system.h"
#include "platform/unique_fd.h"

namespace platform {

class HostActionFile final : public ActionFile {
 public:
  HostActionFile(UniqueFd fd, const struct stat& info, std::string path)
      : fd_(std::move(fd)), info_(info), path_(std::move(path)) {}

  int Fd() const { return fd_.Get(); }
  // As it was when it was opened: device and inode say which file it is.
  const struct stat& Opened() const { return info_; }

  const std::string& Path() const override { return path_; }
  std::uint64_t Size() const override;
  bool MarkedOffline() const override;
  bool KeepsOfflineMark() const override;
  StepResult SetOffline(bool offline) override;
  bool Empty() override;
  std::uint64_t LinkCount() const override;
  StepResult SetCompression(bool compress) override;

 private:
  UniqueFd fd_;
  struct stat info_;
  std::string path_;
};

// Opens `place` for `purpose`: its type is read without following a link or opening it,
// and only a regular file (a folder for OpenFor::Folder) is then opened, again without
// following a link and without blocking, and checked to be the inode that was looked at.
std::unique_ptr<HostActionFile> OpenActionFile(const ActionPlace& place, std::string windowsPath,
                                               OpenFor purpose, std::string* why);

// Creates `place` as a new regular file with what makes `like` its owner's.
std::unique_ptr<HostActionFile> CreateActionFile(const ActionPlace& place, std::string windowsPath,
                                                 const HostActionFile& like, std::string* why);

}  // namespace platform
