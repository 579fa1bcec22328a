#pragma once
// Drive type, volume information, free space and remote name of a drive, from the mount
// that holds its root.

#include <optional>
#include <string>

#include "platform/drive_map.h"
#include "platform/mount_table.h"
#include "platform/system.h"

namespace platform {

// The mount holding the drive's root (symbolic links in the root resolved); nullptr when
// the root does not exist.
const MountEntry* MountOfRoot(const MountTable& table, const std::string& root);

DriveType DriveTypeOf(const MountTable& table, const std::string& root);
std::optional<VolumeInfo> VolumeInfoOf(const MountTable& table, const MappedDrive& drive);
std::optional<DiskSpace> DiskSpaceOf(const std::string& root);
std::optional<std::string> NetworkNameOf(const MountTable& table, const std::string& root);

// Filesystems whose files live on another machine.
bool IsRemoteFilesystem(std::string_view fileSystem);
// "//server/share" -> "\\server\share", "server:/export/a" -> "\\server\export\a".
std::optional<std::string> UncNameOfSource(std::string_view source);

}  // namespace platform
