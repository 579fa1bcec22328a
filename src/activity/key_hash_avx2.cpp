// The path key hash with AVX2: eight keys per vector, several vectors in flight.
//
// vpshufb looks up sixteen-entry tables only, one per 128-bit half, so the byte's
// position cannot select the table as with AVX-512: each of the four positions gets its
// own look-up of the low and of the high nibbles, with bit 7 set in the index of the
// bytes at other positions (which makes vpshufb give 0 there), and the eight results
// are ORed. Only the functions below carry the instruction set, so the rest of the
// program runs on any x86-64.

#include "activity/key_hash_lanes.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include "activity/key_tables.h"

#define NORVEX_AVX2 __attribute__((target("avx2")))

namespace activity::key_hash_detail {
namespace {

struct Constants {
  __m256i low[4];    // box 2p in both halves
  __m256i high[4];   // box 2p + 1, in the high nibble
  __m256i other[4];  // 0x80 in the bytes not at position p
  __m256i nibble;                // 0x0F in every byte
  __m256i key[8];
};

NORVEX_AVX2 Constants MakeConstants() {
  Constants c;
  for (int p = 0; p < 4; ++p) {
    c.low[p] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&NibbleTables.low[16 * p])));
    c.high[p] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&NibbleTables.high[16 * p])));
    c.other[p] = _mm256_set1_epi32(static_cast<int>(0x80808080u & ~(0xFFu << (8 * p))));
  }
  c.nibble = _mm256_set1_epi8(0x0F);
  for (int k = 0; k < 8; ++k) c.key[k] = _mm256_set1_epi32(static_cast<int>(KeyWord(k)));
  return c;
}

// rotl11(substitute(x + key)).
[[gnu::always_inline]] NORVEX_AVX2 inline __m256i Round(__m256i x, __m256i key, const Constants& c) {
  const __m256i t = _mm256_add_epi32(x, key);
  const __m256i low = _mm256_and_si256(t, c.nibble);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi32(t, 4), c.nibble);
  __m256i substituted = _mm256_setzero_si256();
  for (int p = 0; p < 4; ++p) {
    substituted = _mm256_or_si256(
        substituted, _mm256_or_si256(_mm256_shuffle_epi8(c.low[p], _mm256_or_si256(low, c.other[p])),
                                     _mm256_shuffle_epi8(c.high[p], _mm256_or_si256(high, c.other[p]))));
  }
  return _mm256_or_si256(_mm256_slli_epi32(substituted, 11), _mm256_srli_epi32(substituted, 21));
}

// V vectors of eight lanes. Per lane: the state (a = N1, b = N2), the next block's
// word offset, its text's first and end offsets, and the blocks still to hash.
template <int V>
struct Lanes {
  static constexpr int kCount = 8 * V;
  alignas(32) std::uint32_t a[kCount];
  alignas(32) std::uint32_t b[kCount];
  alignas(32) std::uint32_t next[kCount];
  alignas(32) std::uint32_t start[kCount];
  alignas(32) std::uint32_t end[kCount];
  alignas(32) std::int32_t steps[kCount];
  std::uint32_t index[kCount];
  bool busy[kCount];
};

// The lane columns as vectors, while the rounds run.
template <int V>
struct LaneVectors {
  __m256i a[V], b[V], next[V], start[V], end[V], steps[V];
};

template <class Column>
[[gnu::always_inline]] NORVEX_AVX2 inline __m256i LoadColumn(const Column* column) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(column));
}

template <class Column>
[[gnu::always_inline]] NORVEX_AVX2 inline void StoreColumn(Column* column, __m256i value) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(column), value);
}

template <int V>
[[gnu::always_inline]] NORVEX_AVX2 inline void Fetch(const Lanes<V>& lanes, LaneVectors<V>& x) {
  for (int v = 0; v < V; ++v) {
    x.a[v] = LoadColumn(lanes.a + 8 * v);
    x.b[v] = LoadColumn(lanes.b + 8 * v);
    x.next[v] = LoadColumn(lanes.next + 8 * v);
    x.start[v] = LoadColumn(lanes.start + 8 * v);
    x.end[v] = LoadColumn(lanes.end + 8 * v);
    x.steps[v] = LoadColumn(lanes.steps + 8 * v);
  }
}

template <int V>
[[gnu::always_inline]] NORVEX_AVX2 inline void Spill(const LaneVectors<V>& x, Lanes<V>& lanes) {
  for (int v = 0; v < V; ++v) {
    StoreColumn(lanes.a + 8 * v, x.a[v]);
    StoreColumn(lanes.b + 8 * v, x.b[v]);
    StoreColumn(lanes.next + 8 * v, x.next[v]);
    StoreColumn(lanes.start + 8 * v, x.start[v]);
    StoreColumn(lanes.end + 8 * v, x.end[v]);
    StoreColumn(lanes.steps + 8 * v, x.steps[v]);
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
NORVEX_AVX2 void HashVectors(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                             std::span<std::uint64_t> keys) {
  const Constants c = MakeConstants();
  LaneFeeder feeder(texts, keys);
  Lanes<V> lanes;
  int active = 0;
  for (int l = 0; l < Lanes<V>::kCount; ++l) active += Load(feeder, lanes, l, true) ? 1 : 0;

  LaneVectors<V> x;
  Fetch(lanes, x);
  const __m256i two = _mm256_set1_epi32(2);
  const __m256i one = _mm256_set1_epi32(1);
  const auto* base = reinterpret_cast<const int*>(words);
  while (active > 0) {
    // The step's block is fetched first, so its loads overlap the rounds.
    __m256i w1[V], w2[V];
    for (int v = 0; v < V; ++v) {
      w1[v] = _mm256_i32gather_epi32(base, x.next[v], 4);
      w2[v] = _mm256_i32gather_epi32(base + 1, x.next[v], 4);
    }
#pragma GCC unroll 8
    for (int r = 0; r < 16; r += 2) {
      for (int v = 0; v < V; ++v) x.b[v] = _mm256_xor_si256(x.b[v], Round(x.a[v], c.key[r % 8], c));
      for (int v = 0; v < V; ++v) x.a[v] = _mm256_xor_si256(x.a[v], Round(x.b[v], c.key[(r + 1) % 8], c));
    }
    std::uint32_t finished = 0;
    for (int v = 0; v < V; ++v) {
      x.a[v] = _mm256_xor_si256(x.a[v], w1[v]);
      x.b[v] = _mm256_xor_si256(x.b[v], w2[v]);
      x.next[v] = _mm256_add_epi32(x.next[v], two);
      x.next[v] = _mm256_blendv_epi8(x.next[v], x.start[v], _mm256_cmpeq_epi32(x.next[v], x.end[v]));
      x.steps[v] = _mm256_sub_epi32(x.steps[v], one);
      const __m256i done = _mm256_cmpeq_epi32(x.steps[v], _mm256_setzero_si256());
      finished |= static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(done))) << (8 * v);
    }
    if (finished == 0) continue;
    Spill(x, lanes);
    for (; finished != 0; finished &= finished - 1) {
      const int l = __builtin_ctz(finished);
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

void HashAvx2(const std::uint32_t* words, std::span<const KeyBlocks> texts, std::span<std::uint64_t> keys) {
  // Several vectors hide the latency of a round; a small batch would leave most lanes idle.
  if (texts.size() <= 8) {
    HashVectors<1>(words, texts, keys);
  } else if (texts.size() <= 16) {
    HashVectors<2>(words, texts, keys);
  } else {
    HashVectors<4>(words, texts, keys);
  }
}

}  // namespace activity::key_hash_detail

#else

namespace activity::key_hash_detail {

void HashAvx2(const std::uint32_t*, std::span<const KeyBlocks>, std::span<std::uint64_t>) {}

}  // namespace activity::key_hash_detail

#endif
