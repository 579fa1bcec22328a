#pragma once
// Builders of key texts (activity/path_key.h) for the work buffers the hash kernels read.
//
// The scalar builder handles every path. The vector builders handle the ASCII paths
// that nearly every scan meets: each widens and upper-cases a run of characters a vector
// at a time and patches the length words at the backslashes afterwards. A path with a
// byte outside ASCII goes to the scalar builder, whose layout they reproduce bit for
// bit. The fastest builder the processor runs is chosen when the program starts.

#include <cstddef>
#include <cstdint>
#include <cstring>

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
  unsigned char* bytes;  // the work buffer
  std::size_t last = 0;

  void Put(std::size_t word, std::uint16_t value) const {
    const unsigned char pair[2] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8)};
    std::memcpy(bytes + 2 * word, pair, 2);
  }
  // A backslash at keyed position `at` closes the component that the previous one opened.
  void Backslash(std::size_t at) {
    Put(2 + last, static_cast<std::uint16_t>(2 * (at - last)));
    last = at;
  }
  // One ASCII character at keyed position `at`; false for any other byte.
  bool Character(std::size_t at, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return false;
    Put(2 + at, static_cast<std::uint16_t>(byte >= 'a' && byte <= 'z' ? byte - 0x20 : byte));
    if (c == '\\') Backslash(at);
    return true;
  }
};

// Writes `count` characters of `text`, the first at keyed position `at`. False at the
// first byte outside ASCII (what was written is then garbage to be overwritten).
bool WriteAsciiAvx2(const char* text, std::size_t count, std::size_t at, ComponentWriter& writer);
bool WriteAsciiAvx512(const char* text, std::size_t count, std::size_t at, ComponentWriter& writer);

}  // namespace key_text_detail
}  // namespace activity
