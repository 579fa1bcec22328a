#include "platform/mount_choice.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/mount_table.h"

namespace platform {
namespace {

bool OneOf(std::string_view value, std::initializer_list<std::string_view> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

bool Below(std::string_view path, std::initializer_list<std::string_view> roots) {
  return std::any_of(roots.begin(), roots.end(), [path](std::string_view root) { return PathIsWithin(path, root); });
}

bool NetworkFilesystem(std::string_view type) {
  return OneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "9p", "virtiofs",
                      "glusterfs", "fuse.glusterfs", "fuse.sshfs", "davfs", "fuse.rclone", "fuse.s3fs"});
}

// Why the folder a mount sits on keeps it from being a drive; "" when it does not. Such
// a filesystem belongs to what uses that folder wherever else it is mounted.
std::string PlaceReason(std::string_view target) {
  if (Below(target, {"/boot", "/efi"})) return "boot files: read by the firmware, which no recorder sees";
  if (Below(target, {"/snap", "/var/lib/snapd"})) return "package images";
  if (Below(target, {"/var/lib/docker", "/var/lib/containers", "/var/lib/containerd", "/var/lib/lxc",
                     "/var/lib/lxd", "/var/snap/lxd", "/var/lib/kubelet", "/run/containers",
                     "/run/docker", "/var/lib/machines"}) ||
      target.find("/.local/share/containers/") != std::string_view::npos) {
    return "container storage";
  }
  return "";
}

// Why the mount's kind keeps it from being a drive; "" when it does not.
std::string KindReason(const MountInfoEntry& mount) {
  MountEntry asMount{mount.source, mount.target, mount.fileSystem, mount.options};
  if (IsPseudoFilesystem(asMount)) return "kernel or virtual filesystem";
  // The root stays whatever it is: a live system or a container keeps its files there.
  const bool root = mount.target == "/";
  if (!root && OneOf(mount.fileSystem, {"overlay", "overlayfs", "aufs", "fuse-overlayfs"})) {
    return "overlay: a container's or a package's layers";
  }
  if (OneOf(mount.fileSystem, {"squashfs", "erofs", "cramfs", "iso9660", "udf"})) {
    return "read-only image (" + mount.fileSystem + ")";
  }
  if (mount.ReadOnly()) return "mounted read-only";
  const bool onDisk = mount.source.starts_with("/dev/");
  if (!root && !onDisk && !NetworkFilesystem(mount.fileSystem)) {
    return "neither on a disk nor on the network (" + mount.fileSystem + ")";
  }
  return "";
}

}  // namespace

std::string FilesystemIdentity(const MountInfoEntry& mount, const IdentityLookup& identityOf) {
  std::string identity;
  if (std::optional<std::string> known = identityOf ? identityOf(mount) : std::nullopt) {
    identity = *known;
  } else if (NetworkFilesystem(mount.fileSystem)) {
    identity = "net:" + mount.fileSystem + ":" + mount.source;
  } else {
    identity = "dev:" + mount.device + ":" + mount.source;
  }
  if (mount.root != "/") identity += ":" + mount.root;
  return identity;
}

MountChoice ChooseFilesystems(const std::vector<MountInfoEntry>& mounts, const IdentityLookup& identityOf) {
  std::vector<std::string> reasons(mounts.size());
  // A whole filesystem mounted on a folder it is kept from (the firmware's partition
  // on /boot/efi) is kept from being a drive through every other mount of it too.
  std::vector<std::pair<std::string, std::string>> excludedDevices;  // device, reason
  for (std::size_t m = 0; m < mounts.size(); ++m) {
    reasons[m] = PlaceReason(mounts[m].target);
    if (!reasons[m].empty() && mounts[m].root == "/") {
      excludedDevices.emplace_back(mounts[m].device, reasons[m] + " (" + mounts[m].target + ")");
    }
  }
  for (std::size_t m = 0; m < mounts.size(); ++m) {
    if (!reasons[m].empty()) continue;
    reasons[m] = KindReason(mounts[m]);
    if (!reasons[m].empty()) continue;
    for (const auto& [device, reason] : excludedDevices) {
      if (device == mounts[m].device) reasons[m] = "same filesystem as " + reason;
    }
    if (!reasons[m].empty()) continue;
    for (std::size_t later = m + 1; later < mounts.size(); ++later) {
      if (mounts[later].target == mounts[m].target) reasons[m] = "hidden by a later mount on the same folder";
    }
  }
  // Of the mounts of one filesystem, the one that shows the most of it stands for it:
  // the others show folders it shows already.
  std::vector<std::size_t> candidates;
  for (std::size_t m = 0; m < mounts.size(); ++m) {
    if (reasons[m].empty()) candidates.push_back(m);
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [&](std::size_t a, std::size_t b) { return mounts[a].root.size() < mounts[b].root.size(); });
  std::vector<std::size_t> kept;
  for (const std::size_t m : candidates) {
    const auto shows = std::find_if(kept.begin(), kept.end(), [&](std::size_t k) {
      return mounts[k].device == mounts[m].device && PathIsWithin(mounts[m].root, mounts[k].root);
    });
    if (shows != kept.end()) {
      reasons[m] = "same filesystem as " + mounts[*shows].target + " (a bind mount or a second mount)";
    } else {
      kept.push_back(m);
    }
  }
  std::sort(kept.begin(), kept.end(), [&](std::size_t a, std::size_t b) {
    const bool rootA = mounts[a].target == "/";
    const bool rootB = mounts[b].target == "/";
    return rootA != rootB ? rootA : a < b;
  });
  MountChoice choice;
  for (const std::size_t m : kept) {
    ChosenFilesystem chosen{mounts[m], FilesystemIdentity(mounts[m], identityOf)};
    const auto twin = std::find_if(choice.chosen.begin(), choice.chosen.end(),
                                   [&](const ChosenFilesystem& c) { return c.identity == chosen.identity; });
    if (twin != choice.chosen.end()) {
      reasons[m] = "same filesystem identity as " + twin->mount.target + " (" + chosen.identity + ")";
      continue;
    }
    choice.chosen.push_back(std::move(chosen));
  }
  for (std::size_t m = 0; m < mounts.size(); ++m) {
    if (!reasons[m].empty()) choice.leftOut.push_back({mounts[m], reasons[m]});
  }
  return choice;
}

}  // namespace platform
