#pragma once
// CharUpperA: upper-casing in the ANSI code page (Windows-1252), byte for byte. Path keys
// depend on it, so it must never follow the host's locale.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Upper-case form of every byte: ASCII a-z, and the 1252 letters (š œ ž ÿ and à-þ except
// the division sign). Every other byte maps to itself.
extern const std::array<std::uint8_t, 256> kAnsiUpper;

inline char CharUpperA(char c) {
  return static_cast<char>(kAnsiUpper[static_cast<unsigned char>(c)]);
}
std::string CharUpperA(std::string_view text);

}  // namespace platform
