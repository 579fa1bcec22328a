#include "platform/default_drives.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "platform/file_facts.h"
#include "platform/mount_table.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

std::optional<std::string> ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Written whole or not at all: a reader never sees half a file.
bool WriteWhole(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".new." + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

// The disks' UUIDs by device number and by device file, from /dev/disk/by-uuid; where
// that folder is missing (a container), the filesystem id statfs reports, which the
// common disk filesystems derive from their UUID.
class HostIdentities {
 public:
  HostIdentities() {
    std::error_code error;
    for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-uuid", error)) {
      struct stat device {};
      if (::stat(link.path().c_str(), &device) != 0 || !S_ISBLK(device.st_mode)) continue;
      const std::string uuid = link.path().filename().string();
      byNumber_[std::to_string(major(device.st_rdev)) + ":" + std::to_string(minor(device.st_rdev))] = uuid;
      std::error_code ignored;
      byFile_[std::filesystem::canonical(link.path(), ignored).string()] = uuid;
    }
  }

  std::optional<std::string> Of(const MountInfoEntry& mount) const {
    if (const auto found = byNumber_.find(mount.device); found != byNumber_.end()) return "uuid:" + found->second;
    if (!mount.source.starts_with("/dev/")) return std::nullopt;
    std::error_code ignored;
    const std::string file = std::filesystem::canonical(mount.source, ignored).string();
    if (const auto found = byFile_.find(file); found != byFile_.end()) return "uuid:" + found->second;
    struct statfs facts {};
    if (::statfs(mount.target.c_str(), &facts) != 0) return std::nullopt;
    int words[2];
    static_assert(sizeof(words) == sizeof(facts.f_fsid));
    std::memcpy(words, &facts.f_fsid, sizeof(words));
    if (words[0] == 0 && words[1] == 0) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof(text), "fsid:%08x%08x", static_cast<unsigned>(words[0]), static_cast<unsigned>(words[1]));
    return std::string(text);
  }

 private:
  std::map<std::string, std::string> byNumber_;
  std::map<std::string, std::string> byFile_;
};

// The mount a folder lies on: the one statx names, else the deepest that holds it.
const MountInfoEntry* MountHolding(const std::vector<MountInfoEntry>& mounts, const std::string& folder) {
  const UniqueFd opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!opened) return nullptr;
  const std::optional<MountIdentity> identity = MountIdentityOf(opened.Get(), "");
  if (!identity) return nullptr;
  const MountInfoEntry* holding = nullptr;
  for (const MountInfoEntry& mount : mounts) {
    if (identity->mountId != 0) {
      if (mount.mountId == identity->mountId) holding = &mount;
    } else if (PathIsWithin(folder, mount.target) &&
               (holding == nullptr || mount.target.size() >= holding->target.size())) {
      holding = &mount;
    }
  }
  return holding;
}

std::string LettersUnreadable(const std::string& damage) {
  return "the kept drive letters (" + std::string(kDriveLettersFile) + " in the state folder) cannot be read, " + damage;
}

}  // namespace

DefaultDrives BuildDefaultDrives(const std::string& stateDir, std::string_view mountInfo,
                                 const IdentityLookup& identityOf, std::string_view savedLetters) {
  DefaultDrives result;
  result.map.Set('C', stateDir);
  MountChoice choice = ChooseFilesystems(ParseMountInfo(mountInfo), identityOf);
  const SavedLetters saved = ParseDriveLetters(savedLetters);
  if (!saved.damage.empty()) {
    result.problem = LettersUnreadable(saved.damage) + ": letters are given for this run only";
  }
  const LetterOutcome outcome = AssignLetters(choice.chosen, saved.letters);
  for (const LetteredDrive& drive : outcome.drives) {
    if (drive.present) result.map.Set(drive.letter, drive.root);
  }
  result.drives = outcome.drives;
  result.leftOut = std::move(choice.leftOut);
  for (const std::size_t c : outcome.withoutLetter) {
    result.leftOut.push_back({choice.chosen[c].mount, "no drive letter left: D: to Z: are taken"});
  }
  if (outcome.changed && saved.damage.empty()) result.lettersToSave = FormatDriveLetters(outcome.letters);
  if (!saved.damage.empty()) result.changes = AllDrivesDoubted(result.map, result.problem);
  return result;
}

DefaultDrives ReadDefaultDrives(const std::string& stateDir, const std::string& mountInfoFile) {
  const std::string lettersFile = stateDir + "/" + kDriveLettersFile;
  const HostIdentities identities;
  DefaultDrives drives = BuildDefaultDrives(stateDir, ReadText(mountInfoFile).value_or(""),
                                            [&identities](const MountInfoEntry& mount) { return identities.Of(mount); },
                                            ReadText(lettersFile).value_or(""));
  std::error_code ignored;
  if (drives.lettersToSave && std::filesystem::is_directory(stateDir, ignored) &&
      !WriteWhole(lettersFile, *drives.lettersToSave) && drives.problem.empty()) {
    drives.problem = "the drive letters cannot be kept in " + lettersFile + ": letters are given for this run only";
  }
  return drives;
}

GivenDrives CheckGivenDrives(const std::string& stateDir, const DriveMap& map, const std::string& mountInfoFile) {
  const std::string lettersFile = stateDir + "/" + kDriveLettersFile;
  const SavedLetters saved = ParseDriveLetters(ReadText(lettersFile).value_or(""));
  if (!saved.damage.empty()) return {AllDrivesDoubted(map, LettersUnreadable(saved.damage)), {}};
  const std::vector<MountInfoEntry> mounts = ParseMountInfo(ReadText(mountInfoFile).value_or(""));
  const HostIdentities identities;
  const IdentityLookup lookup = [&identities](const MountInfoEntry& mount) { return identities.Of(mount); };
  MappedLetters checked = CheckMappedLetters(
      map,
      [&](const MappedDrive& drive) -> std::optional<std::string> {
        const MountInfoEntry* mount = MountHolding(mounts, drive.root);
        if (mount == nullptr) return std::nullopt;
        return FilesystemIdentity(*mount, lookup);
      },
      saved.letters);
  std::error_code ignored;
  // Not kept, the letters are checked again as new ones next time.
  if (checked.lettersToKeep && std::filesystem::is_directory(stateDir, ignored)) {
    WriteWhole(lettersFile, FormatDriveLetters(*checked.lettersToKeep));
  }
  return {std::move(checked.changes), std::move(checked.identities)};
}

}  // namespace platform
