#pragma once
// Which drives a back-up may go to. A copy on the source's own filesystem frees nothing
// and is lost with it, whatever letter reaches that filesystem, so drives are compared
// by the device under their roots, not by their letters.

#include <cstdint>
#include <optional>
#include <vector>

namespace platform { class System; }

namespace files {

struct BackupDriveFacts {
  char letter = 0;                      // 'A'..'Z'
  std::optional<std::uint64_t> device;  // the filesystem under its root; nullopt: unreadable
  std::uint64_t freeBytes = 0;
};

// Whether files of drive `source` may be backed up onto `target`: another filesystem
// than the source's. A drive whose filesystem could not be read is refused; when the
// source's could not be, only its own letter is.
bool MayBackUpOnto(char source, char target, const std::vector<BackupDriveFacts>& drives);

// The drive a back-up of `source` goes to unless the user chose one: of the drives it
// may go to, the one with the most free space (on a tie the later letter: the program's
// own drives come first, a back-up disk is mapped after them). nullopt when none may.
std::optional<char> DefaultBackupDrive(char source, const std::vector<BackupDriveFacts>& drives);

// The facts of every mapped drive as they are now.
std::vector<BackupDriveFacts> ReadBackupDriveFacts(const platform::System& system);

}  // namespace files
