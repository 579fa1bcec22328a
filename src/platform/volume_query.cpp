#include "platform/volume_query.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <array>
#include <fstream>
#include <memory>

namespace platform {
namespace {

std::optional<std::string> RealPath(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

bool OneOf(std::string_view value, std::initializer_list<std::string_view> options) {
  for (const std::string_view option : options) {
    if (value == option) return true;
  }
  return false;
}

// The sysfs "removable" flag of the whole disk that holds block device `device`.
bool DeviceIsRemovable(dev_t device) {
  const std::string link = "/sys/dev/block/" + std::to_string(major(device)) + ":" +
                           std::to_string(minor(device));
  const auto dir = RealPath(link);
  if (!dir) return false;
  struct stat info {};
  const bool isPartition = ::stat((*dir + "/partition").c_str(), &info) == 0;
  const std::string disk = isPartition ? dir->substr(0, dir->rfind('/')) : *dir;
  std::ifstream flag(disk + "/removable");
  int removable = 0;
  return (flag >> removable) && removable == 1;
}

// "/dev/disk/by-label" escapes unusual characters as "\x20".
std::string DecodeLabel(std::string_view name) {
  std::string label;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
      const std::string hex(name.substr(i + 2, 2));
      char* end = nullptr;
      const long value = std::strtol(hex.c_str(), &end, 16);
      if (end == hex.c_str() + 2) {
        label += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    label += name[i];
  }
  return label;
}

std::string LabelOfDevice(const std::string& source) {
  if (!source.starts_with('/')) return {};
  const auto device = RealPath(source);
  if (!device) return {};
  struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  const std::unique_ptr<DIR, CloseDir> dir(::opendir("/dev/disk/by-label"));
  if (!dir) return {};
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (RealPath("/dev/disk/by-label/" + name) == device) return DecodeLabel(name);
  }
  return {};
}

// The last component of a folder path ("/srv/data/" -> "data").
std::string FolderName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

bool IsRemoteFilesystem(std::string_view fileSystem) {
  return OneOf(fileSystem, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p",
                            "fuse.sshfs", "sshfs", "ceph", "glusterfs", "fuse.glusterfs"});
}

std::optional<std::string> UncNameOfSource(std::string_view source) {
  std::string_view rest;
  std::string server;
  if (source.starts_with("//")) {
    rest = source.substr(2);
  } else if (const std::size_t colon = source.find(':');
             colon != std::string_view::npos && colon > 0 && source.find('/') > colon) {
    server = std::string(source.substr(0, colon));
    rest = source.substr(colon + 1);
  } else {
    return std::nullopt;
  }
  std::string unc = "\\\\" + server;
  for (const char c : rest) {
    if (c == '/') {
      if (unc.back() != '\\') unc += '\\';
    } else {
      unc += c;
    }
  }
  while (unc.size() > 2 && unc.back() == '\\') unc.pop_back();
  if (unc.size() <= 2) return std::nullopt;
  return unc;
}

const MountEntry* MountOfRoot(const MountTable& table, const std::string& root) {
  const auto resolved = RealPath(root);
  if (!resolved) return nullptr;
  return table.Containing(*resolved);
}

DriveType DriveTypeOf(const MountTable& table, const std::string& root) {
  struct stat info {};
  if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return DriveType::NoRootDir;
  const MountEntry* mount = MountOfRoot(table, root);
  if (mount == nullptr) return DriveType::Fixed;
  const std::string& type = mount->fileSystem;
  if (OneOf(type, {"tmpfs", "ramfs"})) return DriveType::RamDisk;
  if (IsRemoteFilesystem(type)) return DriveType::Remote;
  if (OneOf(type, {"iso9660", "udf"})) return DriveType::CdRom;
  struct stat source {};
  const dev_t device = ::stat(mount->source.c_str(), &source) == 0 && S_ISBLK(source.st_mode)
                           ? source.st_rdev
                           : info.st_dev;
  return DeviceIsRemovable(device) ? DriveType::Removable : DriveType::Fixed;
}

std::optional<VolumeInfo> VolumeInfoOf(const MountTable& table, const MappedDrive& drive) {
  struct stat info {};
  if (::stat(drive.root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  const MountEntry* mount = MountOfRoot(table, drive.root);
  VolumeInfo volume;
  volume.label = drive.label;
  if (mount != nullptr) {
    volume.fileSystemName = mount->fileSystem;
    // The filesystem's label and mount point name the whole filesystem: a folder inside
    // it is named after itself, or every such drive would read "/".
    if (volume.label.empty() && RealPath(drive.root) != mount->target) volume.label = FolderName(drive.root);
    if (volume.label.empty()) volume.label = LabelOfDevice(mount->source);
    if (volume.label.empty()) volume.label = mount->target;
    if (mount->fileSystem == "btrfs") volume.fileSystemFlags |= kFsFileCompression;
  }
  return volume;
}

std::optional<DiskSpace> DiskSpaceOf(const std::string& root) {
  struct statvfs info {};
  if (::statvfs(root.c_str(), &info) != 0) return std::nullopt;
  const std::uint64_t cluster = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  DiskSpace space;
  if (cluster >= 512 && cluster % 512 == 0) {
    space.bytesPerSector = 512;
    space.sectorsPerCluster = static_cast<std::uint32_t>(cluster / 512);
  } else {
    space.bytesPerSector = static_cast<std::uint32_t>(cluster);
    space.sectorsPerCluster = 1;
  }
  space.totalClusters = info.f_blocks;
  space.freeClusters = info.f_bavail;
  return space;
}

std::optional<std::string> NetworkNameOf(const MountTable& table, const std::string& root) {
  const MountEntry* mount = MountOfRoot(table, root);
  if (mount == nullptr || !IsRemoteFilesystem(mount->fileSystem)) return std::nullopt;
  return UncNameOfSource(mount->source);
}

}  // namespace platform
