#pragma once
// The two on-disk records of the activity databases, byte-exact (little-endian, packed).

#include <array>
#include <cstddef>
#include <cstdint>

namespace activity {

inline constexpr std::size_t kDriveRecordSize = 59;
inline constexpr std::size_t kAccessRecordSize = 33;
inline constexpr std::size_t kMaxDriveRecords = 26;
inline constexpr std::uint32_t kNoSpanEnd = 0xEF9FBF7D;  // 2099-12-31 23:59:58

// Stored drive numbers run 1 = A .. 26 = Z.
inline constexpr char DriveLetter(std::uint8_t number) { return static_cast<char>(number + 64); }
inline constexpr std::uint8_t DriveNumber(char letter) {
  return static_cast<std::uint8_t>(letter - 64);
}
inline constexpr bool IsDriveNumber(std::uint8_t number) { return number >= 1 && number <= 26; }

struct DriveRecord {
  std::uint8_t drive = 0;         // 1 = A .. 26 = Z; 0 ends the table
  std::uint8_t location = 3;      // drive number holding the tables
  std::uint16_t bucketMask = 1023;
  std::uint16_t bucketSize = 4;
  std::int32_t namesState = -1;   // -1: names not stored
  std::uint16_t maxNameSize = 256;
  std::uint32_t spanStart = 0;    // DOS date-time
  std::uint32_t spanEnd = kNoSpanEnd;
  std::uint32_t recordsInUse = 0;
  std::array<std::uint8_t, 35> reserved{};

  std::uint64_t Capacity() const { return (std::uint64_t{bucketMask} + 1) * bucketSize; }
  bool operator==(const DriveRecord&) const = default;

  std::array<std::uint8_t, kDriveRecordSize> Serialize() const;
  static DriveRecord Deserialize(const std::uint8_t* bytes);
};

// Equal in shape: the same bucket mask, bucket size, maximum name size and names state.
// A database whose shape changes must be emptied and built again.
inline bool SameShape(const DriveRecord& a, const DriveRecord& b) {
  return a.bucketMask == b.bucketMask && a.bucketSize == b.bucketSize &&
         a.maxNameSize == b.maxNameSize && a.namesState == b.namesState;
}

struct AccessRecord {
  std::uint32_t key = 0;          // low 32 bits of the path key; 0 = free slot
  std::uint32_t lastAccess = 0;   // DOS date-time
  std::uint8_t lastOperation = 0;
  std::uint32_t readOnly = 0;
  std::uint32_t writeOnly = 0;
  std::uint32_t readWrite = 0;
  std::uint32_t execute = 0;
  std::uint32_t seek = 0;
  std::uint32_t total = 0;
  bool operator==(const AccessRecord&) const = default;

  std::array<std::uint8_t, kAccessRecordSize> Serialize() const;
  static AccessRecord Deserialize(const std::uint8_t* bytes);
};

}  // namespace activity
