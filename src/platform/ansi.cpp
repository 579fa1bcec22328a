#include "platform/ansi.h"

namespace platform {
namespace {

constexpr std::array<std::uint8_t, 256> MakeAnsiUpper() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<std::uint8_t>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<std::uint8_t>(c - 0x20);
  // 1252 places a few capitals outside the Latin-1 block.
  table[0x9A] = 0x8A;  // s caron
  table[0x9C] = 0x8C;  // oe
  table[0x9E] = 0x8E;  // z caron
  table[0xFF] = 0x9F;  // y diaeresis
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) table[c] = static_cast<std::uint8_t>(c - 0x20);  // 0xF7 is the division sign
  }
  return table;
}

}  // namespace

constinit const std::array<std::uint8_t, 256> kAnsiUpper = MakeAnsiUpper();

std::string CharUpperA(std::string_view text) {
  std::string upper;
  upper.reserve(text.size());
  auto append = [&upper](char c) { upper.push_back(c); };
  Utf8AnsiUpper caser(append);
  for (const char c : text) caser.Put(c);
  caser.Finish();
  return upper;
}

}  // namespace platform
