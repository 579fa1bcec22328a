#pragma once
// Which mounted filesystems become drives by default: the writable ones on a disk or on
// the network, each once. Firmware files, package images, container layers and storage,
// read-only mounts and memory filesystems are left out, each with its reason, and so is
// every further view of a filesystem another mount already shows (a bind mount).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/mount_info.h"

namespace platform {

struct ChosenFilesystem {
  MountInfoEntry mount;
  // Stays the same across unmounting and mounting again: what the lookup answers
  // ("uuid:<UUID>" where the disk has one), else "net:<type>:<source>" on the network,
  // else "dev:<major:minor>:<source>"; followed by ":<root>" for a part of the
  // filesystem (a subvolume).
  std::string identity;
};

struct LeftOutMount {
  MountInfoEntry mount;
  std::string reason;  // "boot files: read by the firmware, which no recorder sees", ...
};

struct MountChoice {
  std::vector<ChosenFilesystem> chosen;  // "/" first, then in mount order
  std::vector<LeftOutMount> leftOut;     // in mount order
};

// The lasting identity of a mount's filesystem where the host tells one ("uuid:<UUID>").
using IdentityLookup = std::function<std::optional<std::string>(const MountInfoEntry&)>;

// ChosenFilesystem::identity of the filesystem a mount shows.
std::string FilesystemIdentity(const MountInfoEntry& mount, const IdentityLookup& identityOf);

MountChoice ChooseFilesystems(const std::vector<MountInfoEntry>& mounts, const IdentityLookup& identityOf);

}  // namespace platform
