#include "platform/drive_identity.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/mount_table.h"

namespace platform {
namespace {

std::size_t IndexOf(char letter) { return static_cast<std::size_t>(letter - 'A'); }

UniqueFd OpenRootFolder(const std::string& root) {
  // The root itself may be a link the user mapped on purpose: it is followed.
  return UniqueFd(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// Whether the folder open as `fd` (not "/") has a filesystem mounted on it.
bool IsMountPoint(int fd) {
  const auto self = MountIdentityOf(fd, "");
  const auto parent = MountIdentityOf(fd, "..");
  return self && parent && (!self->SameMount(*parent) || self->device != parent->device);
}

bool SameFilesystem(const MountIdentity& now, const MountIdentity& then) {
  return now.device == then.device && now.SameMount(then);
}

}  // namespace

std::string DriveName(const MappedDrive& drive) {
  std::string name(1, drive.letter);
  name += ':';
  if (!drive.label.empty()) name += ' ' + drive.label;
  return name + " (" + drive.root + ")";
}

void DriveIdentities::Remember(const DriveMap& drives, const std::string& fstabFile) {
  identities_ = {};
  unmounted_ = {};
  const MountTable fstab = MountTable::Read(fstabFile);
  for (const MappedDrive& drive : drives.All()) {
    const UniqueFd root = OpenRootFolder(drive.root);
    if (!root) continue;
    const bool listed = std::any_of(fstab.Entries().begin(), fstab.Entries().end(),
                                    [&](const MountEntry& entry) { return entry.target == drive.root; });
    if (listed && drive.root != "/" && !IsMountPoint(root.Get())) {
      unmounted_[IndexOf(drive.letter)] = true;
      continue;
    }
    identities_[IndexOf(drive.letter)] = MountIdentityOf(root.Get(), "");
  }
}

std::optional<std::string> DriveIdentities::Problem(const MappedDrive& drive) const {
  const UniqueFd root = OpenRootFolder(drive.root);
  if (!root) return DriveName(drive) + " cannot be opened: " + std::strerror(errno);
  return ProblemOf(drive, root.Get());
}

UniqueFd DriveIdentities::OpenRoot(const MappedDrive& drive, std::string* why) const {
  UniqueFd root = OpenRootFolder(drive.root);
  std::optional<std::string> problem;
  if (!root) {
    problem = DriveName(drive) + " cannot be opened: " + std::strerror(errno);
  } else {
    problem = ProblemOf(drive, root.Get());
  }
  if (!problem) return root;
  if (why != nullptr) *why = std::move(*problem);
  return UniqueFd{};
}

std::optional<std::string> DriveIdentities::Change(char letter) const {
  const std::string& change = changes_[IndexOf(letter)];
  return change.empty() ? std::nullopt : std::optional<std::string>(change);
}

std::optional<std::string> DriveIdentities::ProblemOf(const MappedDrive& drive, int rootFd) const {
  if (auto change = Change(drive.letter)) return change;
  const auto& then = identities_[IndexOf(drive.letter)];
  if (unmounted_[IndexOf(drive.letter)]) return DriveName(drive) + " is not mounted";
  if (!then) return DriveName(drive) + " was not there when the drives were read";
  const auto now = MountIdentityOf(rootFd, "");
  if (!now) return DriveName(drive) + " cannot be examined: " + std::strerror(errno);
  if (SameFilesystem(*now, *then)) return std::nullopt;
  // A bare mount point lies on the filesystem of the folder that holds it.
  const auto parent = MountIdentityOf(rootFd, "..");
  if (parent && parent->device == now->device && now->device != then->device) {
    return DriveName(drive) + " is not mounted";
  }
  return DriveName(drive) + " is not the filesystem it was when the drives were read";
}

}  // namespace platform
