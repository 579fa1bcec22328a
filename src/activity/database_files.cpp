#include "activity/database_files.h"

#include <algorithm>
#include <vector>

#include "activity/drive_record.h"

namespace activity {
namespace {

constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kZeroChunk = 64 * 1024;
// The system's volume query fills a buffer of this size, terminator included.
constexpr std::size_t kVolumeNameBuffer = 2048;

}  // namespace

std::optional<std::size_t> ReadFully(platform::File& file, void* buffer, std::size_t size) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const std::int64_t got = file.Read(bytes + done, size - done);
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool WriteFileReplacing(platform::System& system, std::string_view path,
                        std::uint64_t expectedLength,
                        const std::function<bool(platform::File&)>& write) {
  std::string temporary(path);
  temporary += kTemporarySuffix;
  // A leftover from an earlier crash (or a link planted there) must not be written through.
  system.DeleteFile(temporary);

  bool written = false;
  {
    auto file = system.OpenFile(temporary, {platform::OpenMode::CreateAlways, true, true});
    if (!file) return false;
    written = write(*file) && file->Length() == expectedLength && file->Flush();
    written = file->Close() && written;
  }
  if (written) {
    // Attributes live on the file itself, so they travel with the rename.
    system.SetFileAttributes(temporary, kDatabaseAttributes);
    if (system.MoveFile(temporary, path)) return true;
  }
  system.DeleteFile(temporary);
  return false;
}

bool CreateZeroFilledFile(platform::System& system, std::string_view path, std::uint64_t size) {
  return WriteFileReplacing(system, path, size, [size](platform::File& file) {
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(std::min<std::uint64_t>(size, kZeroChunk)));
    for (std::uint64_t left = size; left > 0;) {
      const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
      if (!file.Write(zeros.data(), chunk)) return false;
      left -= chunk;
    }
    return true;
  });
}

std::string WithHostPath(const platform::System& system, std::string_view windowsPath) {
  std::string text(windowsPath);
  if (const std::optional<std::string> host = system.HostPath(windowsPath)) text += " (" + *host + ")";
  return text;
}

int DriveClass(const platform::System& system, std::uint8_t driveNumber) {
  if (!IsDriveNumber(driveNumber)) return kDriveClassOther;
  switch (system.GetDriveType(DriveLetter(driveNumber))) {
    case platform::DriveType::Removable: return kDriveClassRemovable;
    case platform::DriveType::Fixed: return kDriveClassFixed;
    case platform::DriveType::Remote: return kDriveClassRemote;
    case platform::DriveType::CdRom: return kDriveClassCdRom;
    case platform::DriveType::RamDisk: return kDriveClassRamDisk;
    default: return kDriveClassOther;
  }
}

std::string VolumeLabel(const platform::System& system, std::uint8_t driveNumber) {
  if (!IsDriveNumber(driveNumber)) return {};
  const auto info = system.GetVolumeInformation(DriveLetter(driveNumber));
  if (!info) return {};
  std::string label = info->label;
  if (label.size() >= kVolumeNameBuffer) label.resize(kVolumeNameBuffer - 1);
  return label;
}

}  // namespace activity
