#pragma once
// "ShadowTbl.NVX": the actions selected but not performed, handed to the background
// program at exit. Little-endian, packed: u32 count, then per entry u16 length, the
// folder's path immediately followed by the entry's name (no terminator), u8 action,
// u8 kind, u8 backup drive letter. Entries follow a depth-first walk of the folder
// records, each folder's own record before its contents.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace scan { class CFolderInfo; }

namespace shell {

inline constexpr const char* kHandOffFileName = "ShadowTbl.NVX";

struct HandOffEntry {
  std::string path;  // folder path + entry name, e.g. "C:\Work\a.txt" or "D:"
  std::uint8_t action = 0;
  std::uint8_t kind = 0;
  std::uint8_t backupDrive = 0;
  bool operator==(const HandOffEntry&) const = default;
};

struct HandOffTable {
  std::uint32_t count = 0;  // PendingActionCount when the file was written
  std::vector<HandOffEntry> entries;
};

// The file's bytes for the tree below `driveList`. Entries whose path and name take
// more than 65535 bytes cannot be stored and are left out (`skipped` counts them).
std::vector<std::uint8_t> EncodeHandOff(const scan::CFolderInfo& driveList,
                                        std::uint32_t pendingActionCount,
                                        std::size_t* skipped = nullptr);

// Writes `bytes` as `fileName` in `directory`, replacing any older file through a
// temporary one opened without following symbolic links. False when it cannot be
// created or fully written (the older file then stays as it was).
bool WriteHandOffFile(const std::string& directory, std::span<const std::uint8_t> bytes,
                      const std::string& fileName = kHandOffFileName);

// Parses a hand-off file's bytes, which come from outside and are checked throughout:
// nullopt with `error` set when the data is short, a record runs past the end, or a
// field holds a value no writer produces (empty or non-drive path, a '/' in a path,
// unknown action or kind, a backup or restore without a drive letter).
std::optional<HandOffTable> DecodeHandOff(std::span<const std::uint8_t> bytes, std::string* error);

// Reads and decodes a file; refuses files beyond `maxBytes` before reading them.
std::optional<HandOffTable> ReadHandOffFile(const std::string& hostPath, std::string* error,
                                            std::uint64_t maxBytes = 1ull << 30);

}  // namespace shell
