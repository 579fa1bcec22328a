// The path key hash with AVX-512 VBMI: sixteen keys per vector, several vectors in flight.
//
// One round of sixteen lanes: t = N1 + K; the low and the high nibble of every byte,
// each with the byte's position in its word in bits 4-5, index a 64-byte table in one
// vpermb each (NibbleTables: four boxes side by side), so two look-ups substitute all
// four bytes of all sixteen words; one vprold rotates. Only the functions below carry
// the instruction set, so the rest of the program runs on any x86-64.

#include "activity/key_hash_lanes.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include "activity/key_tables.h"

// GCC 12 takes the deliberately undefined inputs of some AVX-512 intrinsics for
// uninitialised variables (fixed in GCC 13).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#define NORVEX_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

namespace activity::key_hash_detail {
namespace {

struct Constants {
  __m512i low;        // NibbleTables.low
  __m512i high;       // NibbleTables.high
  __m512i nibble;     // 0x0F in every byte
  __m512i position;   // each byte's position in its word, in bits 4-5
  __m512i key[8];
};

NORVEX_AVX512 Constants MakeConstants() {
  Constants c;
  c.low = _mm512_loadu_si512(NibbleTables.low.data());
  c.high = _mm512_loadu_si512(NibbleTables.high.data());
  c.nibble = _mm512_set1_epi8(0x0F);
  c.position = _mm512_set1_epi32(0x30201000);
  for (int k = 0; k < 8; ++k) c.key[k] = _mm512_set1_epi32(static_cast<int>(KeyWord(k)));
  return c;
}

// rotl11(substitute(x + key)).
[[gnu::always_inline]] NORVEX_AVX512 inline __m512i Round(__m512i x, __m512i key, const Constants& c) {
  const __m512i t = _mm512_add_epi32(x, key);
  // (a & b) | c in one instruction: the nibble, and the position above it.
  const __m512i lowIndex = _mm512_ternarylogic_epi32(t, c.nibble, c.position, 0xEA);
  const __m512i highIndex = _mm512_ternarylogic_epi32(_mm512_srli_epi16(t, 4), c.nibble, c.position, 0xEA);
  const __m512i substituted = _mm512_or_si512(_mm512_permutexvar_epi8(lowIndex, c.low),
                                              _mm512_permutexvar_epi8(highIndex, c.high));
  return _mm512_rol_epi32(substituted, 11);
}

// V vectors of sixteen lanes. Per lane: the state (a = N1, b = N2), the next block's
// word offset, its text's first and end offsets, and the blocks still to hash.
template <int V>
struct Lanes {
  static constexpr int kCount = 16 * V;
  alignas(64) std::uint32_t a[kCount];
  alignas(64) std::uint32_t b[kCount];
  alignas(64) std::uint32_t next[kCount];
  alignas(64) std::uint32_t start[kCount];
  alignas(64) std::uint32_t end[kCount];
  alignas(64) std::int32_t steps[kCount];
  std::uint32_t index[kCount];
  bool busy[kCount];
};

// The lane columns as vectors, while the rounds run.
template <int V>
struct LaneVectors {
  __m512i a[V], b[V], next[V], start[V], end[V], steps[V];
};

template <int V>
[[gnu::always_inline]] NORVEX_AVX512 inline void Fetch(const Lanes<V>& lanes, LaneVectors<V>& x) {
  for (int v = 0; v < V; ++v) {
    x.a[v] = _mm512_load_si512(lanes.a + 16 * v);
    x.b[v] = _mm512_load_si512(lanes.b + 16 * v);
    x.next[v] = _mm512_load_si512(lanes.next + 16 * v);
    x.start[v] = _mm512_load_si512(lanes.start + 16 * v);
    x.end[v] = _mm512_load_si512(lanes.end + 16 * v);
    x.steps[v] = _mm512_load_si512(lanes.steps + 16 * v);
  }
}

template <int V>
[[gnu::always_inline]] NORVEX_AVX512 inline void Spill(const LaneVectors<V>& x, Lanes<V>& lanes) {
  for (int v = 0; v < V; ++v) {
    _mm512_store_si512(lanes.a + 16 * v, x.a[v]);
    _mm512_store_si512(lanes.b + 16 * v, x.b[v]);
    _mm512_store_si512(lanes.next + 16 * v, x.next[v]);
    _mm512_store_si512(lanes.start + 16 * v, x.start[v]);
    _mm512_store_si512(lanes.end + 16 * v, x.end[v]);
    _mm512_store_si512(lanes.steps + 16 * v, x.steps[v]);
  }
}

// Gives lane `l` the next text, or lets it idle over the block it points at (the
// batch's first when it never had one). True when it got a text.
template <int V>
bool Load(LaneFeeder& feeder, Lanes<V>& lanes, int l, bool first) {
  LaneLoad text;
  lanes.busy[l] = feeder.Next(text);
  lanes.a[l] = lanes.b[l] = 0;
  lanes.steps[l] = text.steps;
  if (lanes.busy[l]) {
    lanes.index[l] = text.index;
    lanes.next[l] = lanes.start[l] = text.start;
    lanes.end[l] = text.end;
  } else if (first) {
    lanes.next[l] = lanes.start[l] = 0;
    lanes.end[l] = 2;
  }
  return lanes.busy[l];
}

template <int V>
NORVEX_AVX512 void HashVectors(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                               std::span<std::uint64_t> keys) {
  const Constants c = MakeConstants();
  LaneFeeder feeder(texts, keys);
  Lanes<V> lanes;
  int active = 0;
  for (int l = 0; l < Lanes<V>::kCount; ++l) active += Load(feeder, lanes, l, true) ? 1 : 0;

  LaneVectors<V> x;
  Fetch(lanes, x);
  const __m512i two = _mm512_set1_epi32(2);
  const __m512i one = _mm512_set1_epi32(1);
  while (active > 0) {
    // The step's block is fetched first, so its loads overlap the rounds.
    __m512i w1[V], w2[V];
    for (int v = 0; v < V; ++v) {
      w1[v] = _mm512_i32gather_epi32(x.next[v], words, 4);
      w2[v] = _mm512_i32gather_epi32(x.next[v], words + 1, 4);
    }
#pragma GCC unroll 8
    for (int r = 0; r < 16; r += 2) {
      for (int v = 0; v < V; ++v) x.b[v] = _mm512_xor_si512(x.b[v], Round(x.a[v], c.key[r % 8], c));
      for (int v = 0; v < V; ++v) x.a[v] = _mm512_xor_si512(x.a[v], Round(x.b[v], c.key[(r + 1) % 8], c));
    }
    std::uint64_t finished = 0;
    for (int v = 0; v < V; ++v) {
      x.a[v] = _mm512_xor_si512(x.a[v], w1[v]);
      x.b[v] = _mm512_xor_si512(x.b[v], w2[v]);
      x.next[v] = _mm512_add_epi32(x.next[v], two);
      x.next[v] = _mm512_mask_mov_epi32(x.next[v], _mm512_cmpeq_epi32_mask(x.next[v], x.end[v]), x.start[v]);
      x.steps[v] = _mm512_sub_epi32(x.steps[v], one);
      finished |= std::uint64_t{_mm512_cmpeq_epi32_mask(x.steps[v], _mm512_setzero_si512())} << (16 * v);
    }
    if (finished == 0) continue;
    Spill(x, lanes);
    for (; finished != 0; finished &= finished - 1) {
      const int l = __builtin_ctzll(finished);
      if (lanes.busy[l]) {
        feeder.Store(lanes.index[l], lanes.a[l], lanes.b[l]);
        if (!Load(feeder, lanes, l, false)) --active;
      } else {
        lanes.steps[l] = kIdleSteps;
      }
    }
    Fetch(lanes, x);
  }
}

}  // namespace

void HashAvx512Vbmi(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                    std::span<std::uint64_t> keys) {
  // Four vectors hide the latency of a round; a small batch would leave most lanes idle.
  if (texts.size() <= 16) {
    HashVectors<1>(words, texts, keys);
  } else if (texts.size() <= 32) {
    HashVectors<2>(words, texts, keys);
  } else {
    HashVectors<4>(words, texts, keys);
  }
}

}  // namespace activity::key_hash_detail

#else

namespace activity::key_hash_detail {

void HashAvx512Vbmi(const std::uint32_t*, std::span<const KeyBlocks>, std::span<std::uint64_t>) {}

}  // namespace activity::key_hash_detail

#endif
