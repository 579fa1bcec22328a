#pragma once
// The hidden, system and archive bits, kept in the "user.DOSATTRIB" extended attribute as
// Linux file servers keep them: the value starts with the bits as text, "0x26".

#include <cstdint>
#include <string>

namespace platform {

inline constexpr std::uint32_t kStoredDosBits = 0x02 | 0x04 | 0x20;  // hidden, system, archive

// The stored bits of `hostPath` (not following a final link); 0 when there are none or
// the filesystem keeps no extended attributes.
std::uint32_t ReadDosAttributes(const std::string& hostPath);

// Stores the hidden/system/archive bits of `attributes`. Returns false only when the file
// is missing or refuses for a reason other than lacking extended attributes.
bool WriteDosAttributes(const std::string& hostPath, std::uint32_t attributes);

// The stored bits of a raw attribute value ("0x22", possibly followed by more data).
std::uint32_t ParseDosAttributeValue(const char* value, std::size_t size);

}  // namespace platform
