#pragma once
// Builders of key texts (activity/path_key.h) for the work buffers the hash kernels read.
//
// The scalar builder goes character by character. The vector builders widen a vector
// of bytes at a time, upper-casing ASCII letters on the way, and patch afterwards the
// length words at the backslashes and the two-byte letters that have a capital (each
// depends on its own two bytes only, so a patch needs no state). They reproduce the
// scalar builder's layout bit for bit. The fastest builder the processor runs is chosen
// when the program starts.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/ansi.h"

namespace activity {

enum class TextBuilder : std::uint8_t {
  Scalar,  // character by character, any text
  Avx2,    // sixteen characters per step
  Avx512,  // thirty-two characters per step, tails by mask
};
inline constexpr TextBuilder kAllTextBuilders[] = {TextBuilder::Scalar, TextBuilder::Avx2,
                                                   TextBuilder::Avx512};

bool TextBuilderRuns(TextBuilder builder);
TextBuilder FastestTextBuilder();
const char* TextBuilderName(TextBuilder builder);

namespace key_text_detail {

// A key text being written as 16-bit little-endian words into a work buffer: the word
// of keyed character j (j = 0 is the first backslash) is word 2 + j. `last` is the
// keyed position of the latest backslash, whose length word waits for the next one.
struct ComponentWriter {
  // Leaves `leads` uninitialised: zeroing a kilobyte per key cost as much as the rest.
  explicit ComponentWriter(unsigned char* buffer) : bytes(buffer) {}

  unsigned char* bytes;  // the work buffer
  std::size_t last = 0;
  // Keyed positions of the bytes that may begin a two-byte letter with a capital.
  std::uint16_t leads[512];
  std::size_t leadCount = 0;

  static bool IsLead(unsigned char byte) { return byte == 0xC3 || byte == 0xC5; }

  void Put(std::size_t word, std::uint16_t value) const {
    const unsigned char pair[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    std::memcpy(bytes + 2 * word, pair, 2);
  }
  // A backslash at keyed position `at` closes the component that the previous one opened.
  void Backslash(std::size_t at) {
    Put(2 + last, static_cast<std::uint16_t>(2 * (at - last)));
    last = at;
  }
  void Lead(std::size_t at) { leads[leadCount++] = static_cast<std::uint16_t>(at); }
  // One character at keyed position `at`: an ASCII letter upper-cased, any byte from
  // 0x80 on sign-extended.
  void Character(std::size_t at, char c) {
    const auto byte = static_cast<unsigned char>(c);
    const auto word = byte < 0x80 ? static_cast<std::uint16_t>(static_cast<unsigned char>(platform::CharUpperA(c)))
                                  : static_cast<std::uint16_t>(0xFF00 | byte);
    Put(2 + at, word);
    if (c == '\\') Backslash(at);
    if (IsLead(byte)) Lead(at);
  }
};

// Writes `count` characters of `text`, the first at keyed position `at`; the caller
// patches the two-byte letters at writer.leads afterwards.
void WriteRunAvx2(const char* text, std::size_t count, std::size_t at, ComponentWriter& writer);
void WriteRunAvx512(const char* text, std::size_t count, std::size_t at, ComponentWriter& writer);

}  // namespace key_text_detail
}  // namespace activity
