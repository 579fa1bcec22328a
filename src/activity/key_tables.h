#pragma once
// The constants of the path key hash. The recorder links the same definitions, so the
// program and the recorder can never disagree on a key: change nothing here without
// rebuilding every database.
//
//   KeyTable: 32 bytes, read as eight little-endian 32-bit words K0..K7. They are the
//     first 256 bits of the fraction of pi (0x243F6A88 0x85A308D3 ...), a value with
//     nothing hidden in it.
//   SubstitutionTables: T0..T3, each a byte-to-byte table built from two of the eight
//     4-bit S-boxes of GOST R 34.12-2015 (the 28147-89 round in its standardised form).
//     The round sends byte 0 of its word through T0, byte 1 through T3, byte 2 through
//     T2 and byte 3 through T1, so T0 pairs boxes 0/1, T3 boxes 2/3, T2 boxes 4/5 and
//     T1 boxes 6/7: the substitution is the standard one, nibble i through box i.

#include <array>
#include <cstdint>

namespace activity {

using ByteTable = std::array<std::uint8_t, 256>;

namespace key_tables_detail {

// GOST R 34.12-2015 substitution boxes; box i substitutes nibble i of the word.
inline constexpr std::uint8_t kBoxes[8][16] = {
    {12, 4, 6, 2, 10, 5, 11, 9, 14, 8, 13, 7, 0, 3, 15, 1},
    {6, 8, 2, 3, 9, 10, 5, 12, 1, 14, 4, 7, 11, 13, 0, 15},
    {11, 3, 5, 8, 2, 15, 10, 13, 14, 1, 7, 4, 12, 9, 6, 0},
    {12, 8, 2, 1, 13, 4, 15, 6, 7, 0, 10, 5, 3, 14, 9, 11},
    {7, 15, 5, 10, 8, 1, 6, 13, 0, 9, 3, 14, 11, 4, 2, 12},
    {5, 13, 15, 6, 9, 2, 12, 10, 11, 7, 8, 1, 4, 3, 14, 0},
    {8, 14, 2, 5, 6, 9, 1, 12, 15, 4, 11, 0, 13, 10, 3, 7},
    {1, 7, 14, 13, 0, 5, 8, 3, 4, 15, 10, 6, 9, 12, 11, 2},
};

constexpr ByteTable PairOfBoxes(int lowBox) {
  ByteTable table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<std::uint8_t>(kBoxes[lowBox][b & 15] | (kBoxes[lowBox + 1][b >> 4] << 4));
  }
  return table;
}

}  // namespace key_tables_detail

inline constexpr std::array<std::uint8_t, 32> KeyTable = {
    0x88, 0x6A, 0x3F, 0x24, 0xD3, 0x08, 0xA3, 0x85, 0x2E, 0x8A, 0x19, 0x13, 0x44, 0x73, 0x70, 0x03,
    0x22, 0x38, 0x09, 0xA4, 0xD0, 0x31, 0x9F, 0x29, 0x98, 0xFA, 0x2E, 0x08, 0x89, 0x6C, 0x4E, 0xEC,
};

// T0, T1, T2, T3.
inline constexpr std::array<ByteTable, 4> SubstitutionTables = {
    key_tables_detail::PairOfBoxes(0),  // T0 substitutes byte 0
    key_tables_detail::PairOfBoxes(6),  // T1 substitutes byte 3
    key_tables_detail::PairOfBoxes(4),  // T2 substitutes byte 2
    key_tables_detail::PairOfBoxes(2),  // T3 substitutes byte 1
};

// K(index) of KeyTable, index 0..7. Constant, so the hash adds it as an immediate.
constexpr std::uint32_t KeyWord(int index) {
  const int at = index * 4;
  return std::uint32_t{KeyTable[at]} | std::uint32_t{KeyTable[at + 1]} << 8 |
         std::uint32_t{KeyTable[at + 2]} << 16 | std::uint32_t{KeyTable[at + 3]} << 24;
}

// The substitution as look-ups of 16-entry tables, for vector units that look up many
// nibbles at once. Byte p of a word holds nibbles 2p (low) and 2p + 1 (high); entry
// 16 * p + n of `low` is box 2p of n, of `high` box 2p + 1 of n in the high nibble. So
// with the byte's position folded into the index, one look-up of each table substitutes
// every byte of the word, whatever its position.
struct NibbleTableSet {
  alignas(64) std::array<std::uint8_t, 64> low;
  alignas(64) std::array<std::uint8_t, 64> high;
};

constexpr NibbleTableSet MakeNibbleTables() {
  NibbleTableSet set{};
  for (int position = 0; position < 4; ++position) {
    for (int n = 0; n < 16; ++n) {
      set.low[16 * position + n] = key_tables_detail::kBoxes[2 * position][n];
      set.high[16 * position + n] =
          static_cast<std::uint8_t>(key_tables_detail::kBoxes[2 * position + 1][n] << 4);
    }
  }
  return set;
}
inline constexpr NibbleTableSet NibbleTables = MakeNibbleTables();

// The round's substitution and 11-bit rotation folded into four tables, one per byte
// position of the word: B0[t & 255] ^ B1[(t >> 8) & 255] ^ B2[(t >> 16) & 255] ^
// B3[t >> 24] equals the substituted word rotated left by 11. (A rotation distributes
// over the XOR of the substituted bytes, which occupy disjoint bits.)
struct RoundTableSet {
  alignas(64) std::array<std::array<std::uint32_t, 256>, 4> byPosition;
};
extern const RoundTableSet RoundTables;

}  // namespace activity
