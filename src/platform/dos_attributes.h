#pragma once
// The hidden, system, archive and offline bits, kept in the "user.DOSATTRIB" extended
// attribute as Linux file servers keep them: the value starts with the bits as text,
// "0x26". Offline marks a back-up stub, whose data lies on the backup drive.

#include <cstdint>
#include <string>

namespace platform {

// hidden, system, archive, offline
inline constexpr std::uint32_t kStoredDosBits = 0x02 | 0x04 | 0x20 | 0x1000;

// The stored bits of `hostPath` (not following a final link); 0 when there are none or
// the filesystem keeps no extended attributes.
std::uint32_t ReadDosAttributes(const std::string& hostPath);

// Stores the hidden/system/archive/offline bits of `attributes`. Returns false only when the file
// is missing or refuses for a reason other than lacking extended attributes.
bool WriteDosAttributes(const std::string& hostPath, std::uint32_t attributes);

// The stored bits of a raw attribute value ("0x22", possibly followed by more data).
std::uint32_t ParseDosAttributeValue(const char* value, std::size_t size);

}  // namespace platform
