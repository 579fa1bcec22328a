#include "platform/default_drives.h"

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

}  // namespace

DefaultDrives BuildDefaultDrives(const std::string& stateDir, std::string_view mountInfo,
                                 const IdentityLookup& identityOf, std::string_view savedLetters) {
  DefaultDrives result;
  result.map.Set('C', stateDir);
  MountChoice choice = ChooseFilesystems(ParseMountInfo(mountInfo), identityOf);
  const SavedLetters saved = ParseDriveLetters(savedLetters);
  if (!saved.damage.empty()) {
    result.problem = "the kept drive letters (" + std::string(kDriveLettersFile) + " in the state folder) cannot be read, " +
                     saved.damage + ": letters are given for this run only";
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

}  // namespace platform
