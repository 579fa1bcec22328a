#pragma once
// A System that passes every call to another one; decorators derive from it and override
// only the calls they change.

#include "platform/system.h"

namespace platform {

class ForwardingSystem : public System {
 public:
  explicit ForwardingSystem(System& inner) : inner_(inner) {}

  const DriveMap& Drives() const override { return inner_.Drives(); }
  std::optional<std::string> HostPath(std::string_view windowsPath) const override {
    return inner_.HostPath(windowsPath);
  }
  DriveType GetDriveType(char letter) const override { return inner_.GetDriveType(letter); }
  std::optional<VolumeInfo> GetVolumeInformation(char letter) const override {
    return inner_.GetVolumeInformation(letter);
  }
  std::optional<DiskSpace> GetDiskFreeSpace(char letter) const override {
    return inner_.GetDiskFreeSpace(letter);
  }
  std::optional<std::string> GetNetworkConnection(char letter) const override {
    return inner_.GetNetworkConnection(letter);
  }

  bool ListDirectory(std::string_view windowsFolder,
                     const std::function<bool(const FindData&)>& visit) const override {
    return inner_.ListDirectory(windowsFolder, visit);
  }
  std::uint32_t GetFileAttributes(std::string_view windowsPath) const override {
    return inner_.GetFileAttributes(windowsPath);
  }
  bool SetFileAttributes(std::string_view windowsPath, std::uint32_t attributes) override {
    return inner_.SetFileAttributes(windowsPath, attributes);
  }
  std::optional<std::uint64_t> GetFileSize(std::string_view windowsPath) const override {
    return inner_.GetFileSize(windowsPath);
  }
  std::uint64_t GetCompressedFileSize(std::string_view windowsPath) const override {
    return inner_.GetCompressedFileSize(windowsPath);
  }

  std::unique_ptr<File> OpenFile(std::string_view windowsPath, const OpenOptions& options) override {
    return inner_.OpenFile(windowsPath, options);
  }
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  bool MoveFile(std::string_view from, std::string_view to) override {
    return inner_.MoveFile(from, to);
  }
  bool DeleteFile(std::string_view windowsPath) override { return inner_.DeleteFile(windowsPath); }
  bool FileExists(std::string_view windowsPath) const override {
    return inner_.FileExists(windowsPath);
  }
  bool CreateDirectory(std::string_view windowsPath) override {
    return inner_.CreateDirectory(windowsPath);
  }
  bool SetCompression(std::string_view windowsPath, bool compress) override {
    return inner_.SetCompression(windowsPath, compress);
  }

  std::optional<std::string> DriveProblem(char letter) const override { return inner_.DriveProblem(letter); }
  std::optional<std::string> DriveChange(char letter) const override { return inner_.DriveChange(letter); }
  std::unique_ptr<ActionFile> OpenForAction(std::string_view windowsPath, OpenFor purpose,
                                            std::string* why) override {
    return inner_.OpenForAction(windowsPath, purpose, why);
  }
  std::unique_ptr<ActionFile> CreateForAction(std::string_view windowsPath, ActionFile& like,
                                              std::string* why) override {
    return inner_.CreateForAction(windowsPath, like, why);
  }
  bool StillNames(const ActionFile& file, std::string_view windowsPath) const override {
    return inner_.StillNames(file, windowsPath);
  }
  StepResult CopyOpenFile(ActionFile& from, std::string_view to, bool failIfExists) override {
    return inner_.CopyOpenFile(from, to, failIfExists);
  }
  StepResult WriteInto(ActionFile& from, ActionFile& into) override { return inner_.WriteInto(from, into); }
  bool CreateDirectoryLike(std::string_view windowsPath, std::string_view modelFolder) override {
    return inner_.CreateDirectoryLike(windowsPath, modelFolder);
  }

  RecorderReply SendRecorderControl(std::uint32_t code) override { return inner_.SendRecorderControl(code); }
  std::int64_t Now() const override { return inner_.Now(); }

 protected:
  System& Inner() const { return inner_; }

 private:
  System& inner_;
};

}  // namespace platform
