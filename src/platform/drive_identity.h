#pragma once
// Which filesystem each drive letter stood for when the drive map was taken into use,
// so that nothing is written onto whatever lies under a mount point once its disk is
// gone, or onto another disk mounted in its place.

#include <array>
#include <optional>
#include <string>

#include "platform/drive_map.h"
#include "platform/file_facts.h"
#include "platform/mapped_letters.h"
#include "platform/unique_fd.h"

namespace platform {

class DriveIdentities {
 public:
  DriveIdentities() = default;
  // `changes`: drives whose letter stood for another filesystem in earlier runs; each
  // stays refused for the whole run.
  explicit DriveIdentities(DriveChanges changes) : changes_(std::move(changes)) {}

  // Notes the filesystem under each drive's root as it is now. A root that `fstabFile`
  // names as a mount point but that has no filesystem mounted on it is noted as not
  // mounted: a program started while the disk is away must not take the bare folder for
  // the drive.
  void Remember(const DriveMap& drives, const std::string& fstabFile = "/etc/fstab");
  // Why `drive` is not the filesystem it was ("E: Backup (/media/backup) is not
  // mounted"), or not the one its letter stood for before; nullopt while it is.
  std::optional<std::string> Problem(const MappedDrive& drive) const;
  // Why what was kept for the letter in earlier runs must not be applied to it now.
  std::optional<std::string> Change(char letter) const;
  // The drive's root folder, opened and checked to be the filesystem it was; an invalid
  // descriptor with the reason in `why` otherwise.
  UniqueFd OpenRoot(const MappedDrive& drive, std::string* why) const;

 private:
  std::optional<std::string> ProblemOf(const MappedDrive& drive, int rootFd) const;

  std::array<std::optional<MountIdentity>, 26> identities_{};
  std::array<bool, 26> unmounted_{};
  DriveChanges changes_{};
};

// "E: Backup (/media/backup)": how messages name a drive.
std::string DriveName(const MappedDrive& drive);

}  // namespace platform
