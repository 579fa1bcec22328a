#pragma once
// File operations shared by the drive table and the database files: whole-file writes
// that never leave half a file behind, zero-filled databases, and what a drive is.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace activity {

// Hidden, system and archive: what the drive table and every created database file carry.
inline constexpr std::uint32_t kDatabaseAttributes =
    platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive;

// Reads until `size` bytes arrived or the file ends; nullopt on a read error.
std::optional<std::size_t> ReadFully(platform::File& file, void* buffer, std::size_t size);

// Replaces `path` with what `write` puts into a fresh file: the data goes to a temporary
// file beside it (opened without following links), which must end up exactly
// `expectedLength` bytes long, is flushed, gets kDatabaseAttributes and is then renamed
// over `path`. A failure at any point removes the temporary file and leaves `path` as
// it was.
bool WriteFileReplacing(platform::System& system, std::string_view path,
                        std::uint64_t expectedLength,
                        const std::function<bool(platform::File&)>& write);

// A file of `size` zero bytes at `path` (created or replacing what was there).
bool CreateZeroFilledFile(platform::System& system, std::string_view path, std::uint64_t size);

// "C:\DriveTbl.NVX (/home/me/.local/state/norvex/DriveTbl.NVX)": a drive path alone
// does not tell a user which real file to look at. Just the drive path when it maps to
// no host path.
std::string WithHostPath(const platform::System& system, std::string_view windowsPath);

// 0 removable, 1 fixed, 2 remote, 3 CD-ROM, 4 RAM disk, 5 anything else.
enum DriveClassCode : int {
  kDriveClassRemovable = 0,
  kDriveClassFixed = 1,
  kDriveClassRemote = 2,
  kDriveClassCdRom = 3,
  kDriveClassRamDisk = 4,
  kDriveClassOther = 5,
};
int DriveClass(const platform::System& system, std::uint8_t driveNumber);

// The volume name of "X:\"; empty when the drive reports none.
std::string VolumeLabel(const platform::System& system, std::uint8_t driveNumber);

}  // namespace activity
