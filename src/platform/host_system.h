#pragma once
// The real System: drive letters over host folders, POSIX files, the mounted volumes,
// the recorder's socket and the wall clock.

#include <atomic>

#include "platform/action_path.h"
#include "platform/drive_identity.h"
#include "platform/environment.h"
#include "platform/system.h"

namespace platform {

class HostSystem final : public System {
 public:
  explicit HostSystem(const Environment& environment);

  const DriveMap& Drives() const override { return drives_; }
  std::optional<std::string> HostPath(std::string_view windowsPath) const override;
  DriveType GetDriveType(char letter) const override;
  std::optional<VolumeInfo> GetVolumeInformation(char letter) const override;
  std::optional<DiskSpace> GetDiskFreeSpace(char letter) const override;
  std::optional<std::string> GetNetworkConnection(char letter) const override;

  bool ListDirectory(std::string_view windowsFolder,
                     const std::function<bool(const FindData&)>& visit) const override;
  bool ListDirectoryIn(const OpenFolder* parent, std::string_view name, std::string_view windowsFolder,
                       const std::function<bool(const FindData&)>& visit,
                       std::unique_ptr<OpenFolder>* opened) const override;
  std::uint32_t GetFileAttributes(std::string_view windowsPath) const override;
  bool SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) override;
  std::optional<std::uint64_t> GetFileSize(std::string_view windowsPath) const override;
  std::uint64_t GetCompressedFileSize(std::string_view windowsPath) const override;

  std::unique_ptr<File> OpenFile(std::string_view windowsPath, const OpenOptions& options) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool MoveFile(std::string_view from, std::string_view to) override;
  bool DeleteFile(std::string_view windowsPath) override;
  bool FileExists(std::string_view windowsPath) const override;
  bool CreateDirectory(std::string_view windowsPath) override;
  bool SetCompression(std::string_view windowsPath, bool compress) override;

  std::optional<std::string> DriveProblem(char letter) const override;
  std::optional<std::string> DriveChange(char letter) const override { return identities_.Change(letter); }
  std::unique_ptr<ActionFile> OpenForAction(std::string_view windowsPath, OpenFor purpose,
                                            std::string* why) override;
  std::unique_ptr<ActionFile> CreateForAction(std::string_view windowsPath, ActionFile& like,
                                              std::string* why) override;
  bool StillNames(const ActionFile& file, std::string_view windowsPath) const override;
  StepResult CopyOpenFile(ActionFile& from, std::string_view to, bool failIfExists) override;
  StepResult WriteInto(ActionFile& from, ActionFile& into) override;
  bool CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) override;

  RecorderReply SendRecorderControl(std::uint32_t code) override;
  std::int64_t Now() const override;

  // Notes again which filesystem each drive stands for (done when the System is made):
  // for a caller that has just mounted one on purpose.
  void RememberDrives() { identities_.Remember(drives_); }

 private:
  // HostPath for a call that changes something: nullopt (errno ELOOP) when a folder on
  // the way below the drive's root is a symbolic link.
  std::optional<std::string> HostPathToChange(std::string_view windowsPath) const;
  // The folder an action on `windowsPath` works in (see action_path.h).
  ActionPlace PlaceOf(std::string_view windowsPath, std::string* why) const;

  DriveMap drives_;
  DriveIdentities identities_;
  std::string recorderSocket_;
  std::string stateDir_;
  // Set at the first refusal of the open that stays on one mount (old kernel, sandbox):
  // folders are then opened plainly and their mount is looked up after.
  mutable std::atomic<bool> openBelowUnsupported_ = false;
};

}  // namespace platform
