#include "files/backup_drives.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>

#include "platform/file_facts.h"
#include "platform/system.h"

namespace files {

namespace {

char Upper(char letter) { return static_cast<char>(std::toupper(static_cast<unsigned char>(letter))); }

const BackupDriveFacts* Find(char letter, const std::vector<BackupDriveFacts>& drives) {
  const auto found = std::find_if(drives.begin(), drives.end(), [&](const BackupDriveFacts& d) {
    return Upper(d.letter) == Upper(letter);
  });
  return found == drives.end() ? nullptr : &*found;
}

}  // namespace

bool MayBackUpOnto(char source, char target, const std::vector<BackupDriveFacts>& drives) {
  if (Upper(source) == Upper(target)) return false;
  const BackupDriveFacts* to = Find(target, drives);
  if (to == nullptr || !to->device) return false;
  const BackupDriveFacts* from = Find(source, drives);
  return from == nullptr || !from->device || *from->device != *to->device;
}

std::optional<char> DefaultBackupDrive(char source, const std::vector<BackupDriveFacts>& drives) {
  const BackupDriveFacts* best = nullptr;
  for (const BackupDriveFacts& drive : drives) {
    if (!MayBackUpOnto(source, drive.letter, drives)) continue;
    if (best == nullptr || drive.freeBytes > best->freeBytes ||
        (drive.freeBytes == best->freeBytes && Upper(drive.letter) > Upper(best->letter))) {
      best = &drive;
    }
  }
  if (best == nullptr) return std::nullopt;
  return Upper(best->letter);
}

std::vector<BackupDriveFacts> ReadBackupDriveFacts(const platform::System& system) {
  std::vector<BackupDriveFacts> facts;
  for (const platform::MappedDrive& drive : system.Drives().All()) {
    BackupDriveFacts fact{drive.letter, std::nullopt, 0};
    if (const auto identity = platform::MountIdentityOf(AT_FDCWD, drive.root.c_str(), true)) {
      fact.device = identity->device;
    }
    if (const auto space = system.GetDiskFreeSpace(drive.letter)) fact.freeBytes = space->FreeBytes();
    facts.push_back(fact);
  }
  return facts;
}

}  // namespace files
