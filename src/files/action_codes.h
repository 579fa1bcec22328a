#pragma once
// Action codes stored in a folder record's `actions` column (hints use the same values).

#include <cstdint>

namespace files {

inline constexpr std::uint8_t kActionNone = 0;
inline constexpr std::uint8_t kActionCompress = 1;
inline constexpr std::uint8_t kActionDecompress = 2;
inline constexpr std::uint8_t kActionBackUp = 4;
inline constexpr std::uint8_t kActionRestore = 8;

}  // namespace files
