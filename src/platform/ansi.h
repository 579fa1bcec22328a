#pragma once
// CharUpperA: upper-casing in the ANSI code page (Windows-1252). Path keys depend on it,
// so it must never follow the host's locale.
//
// Names here are UTF-8, so text is upper-cased by characters: a character that 1252 can
// represent is upper-cased as the code page upper-cases its byte and written back as
// UTF-8; every other character, and every byte that is not valid UTF-8, stays as it is.
// Upper-casing never changes the byte length (each 1252 letter and its capital take the
// same number of UTF-8 bytes), so key texts keep their layout.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Upper-case form of every byte read as a 1252 character: ASCII a-z, and the 1252
// letters (š œ ž ÿ and à-þ except the division sign). Every other byte maps to itself.
// Only for text that really is in 1252; UTF-8 text goes through the functions below.
extern const std::array<std::uint8_t, 256> kAnsiUpper;

inline char CharUpperA(char c) {
  return static_cast<char>(kAnsiUpper[static_cast<unsigned char>(c)]);
}

// Upper-cases UTF-8 text handed over one byte at a time, across as many pieces as the
// caller has, with no allocation: emit(char) receives every input byte, upper-cased, in
// order. A byte that may begin a two-byte 1252 letter waits for the next one; Finish()
// hands over a byte still waiting at the end.
template <class Emit>
class Utf8AnsiUpper {
 public:
  explicit Utf8AnsiUpper(Emit& emit) : emit_(emit) {}

  void Put(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (held_ == 0 && byte < 0x80) {  // ASCII: the common case, kept short
      emit_(static_cast<char>(kAnsiUpper[byte]));
      return;
    }
    PutSlow(byte);
  }

  void Finish() {
    if (held_ != 0) emit_(static_cast<char>(held_));
    held_ = 0;
  }

 private:
  // Lead bytes of the two-byte characters that have a 1252 capital: U+00C0-U+00FF and
  // U+0140-U+017F. No other 1252 lower-case letter lies outside ASCII.
  static constexpr unsigned char kLatin1Lead = 0xC3;
  static constexpr unsigned char kLatinExtendedLead = 0xC5;

  void PutSlow(unsigned char byte) {
    if (held_ != 0) {
      const unsigned char lead = held_;
      held_ = 0;
      if ((byte & 0xC0) == 0x80) {  // a continuation byte: one whole character
        EmitUpperPair(lead, byte);
        return;
      }
      emit_(static_cast<char>(lead));  // a lead byte on its own is not UTF-8
    }
    if (byte == kLatin1Lead || byte == kLatinExtendedLead) {
      held_ = byte;
    } else {
      emit_(static_cast<char>(byte < 0x80 ? kAnsiUpper[byte] : byte));
    }
  }

  void EmitUpperPair(unsigned char lead, unsigned char trail) {
    if (lead == kLatin1Lead) {
      if (trail == 0xBF) {  // ÿ U+00FF -> Ÿ U+0178
        lead = kLatinExtendedLead;
        trail = 0xB8;
      } else if (trail >= 0xA0 && trail != 0xB7) {  // à-þ U+00E0-U+00FE, not ÷
        trail = static_cast<unsigned char>(trail - 0x20);
      }
    } else if (trail == 0x93 || trail == 0xA1 || trail == 0xBE) {  // œ š ž -> Œ Š Ž
      trail = static_cast<unsigned char>(trail - 1);
    }
    emit_(static_cast<char>(lead));
    emit_(static_cast<char>(trail));
  }

  Emit& emit_;
  unsigned char held_ = 0;
};

// The upper-cased copy of UTF-8 text.
std::string CharUpperA(std::string_view text);

}  // namespace platform
