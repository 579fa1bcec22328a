#include "activity/key_hash.h"

#include <array>
#include <stdexcept>
#include <utility>

#include "activity/key_hash_lanes.h"
#include "activity/key_tables.h"

namespace activity {
namespace {

using key_hash_detail::kPasses;
using key_hash_detail::LaneFeeder;
using key_hash_detail::LaneLoad;

// Substitution and rotation of t + K in one step.
[[gnu::always_inline]] inline std::uint32_t RoundFunction(std::uint32_t t) {
  const auto& table = RoundTables.byPosition;
  return table[0][t & 0xFF] ^ table[1][(t >> 8) & 0xFF] ^ table[2][(t >> 16) & 0xFF] ^
         table[3][t >> 24];
}

// Each round sets N1 = F(N1 + K) ^ N2 and N2 = old N1. Written as alternating updates of
// two registers, the halves trade names every round and are back in place after 16.
template <std::size_t... R>
[[gnu::always_inline]] inline void SixteenRounds(std::uint32_t& n1, std::uint32_t& n2,
                                                 std::index_sequence<R...>) {
  std::uint32_t a = n1;
  std::uint32_t b = n2;
  ((R % 2 == 0 ? (b ^= RoundFunction(a + KeyWord(R % 8))) : (a ^= RoundFunction(b + KeyWord(R % 8)))),
   ...);
  n1 = a;
  n2 = b;
}

// Round R of every lane, lane-minor, so that independent look-ups overlap.
template <std::size_t R, std::size_t Lanes, std::size_t... L>
[[gnu::always_inline]] inline void RoundOfEveryLane(std::array<std::uint32_t, Lanes>& n1,
                                                    std::array<std::uint32_t, Lanes>& n2,
                                                    std::index_sequence<L...>) {
  constexpr std::uint32_t key = KeyWord(R % 8);
  if constexpr (R % 2 == 0) {
    ((n2[L] ^= RoundFunction(n1[L] + key)), ...);
  } else {
    ((n1[L] ^= RoundFunction(n2[L] + key)), ...);
  }
}

template <std::size_t Lanes, std::size_t... R>
[[gnu::always_inline]] inline void SixteenRoundsOfEveryLane(std::array<std::uint32_t, Lanes>& n1,
                                                            std::array<std::uint32_t, Lanes>& n2,
                                                            std::index_sequence<R...>) {
  (RoundOfEveryLane<R>(n1, n2, std::make_index_sequence<Lanes>{}), ...);
}

// Several hashes advanced side by side, one block of each per step; a lane that
// finishes takes the next text at once. A lane with nothing left runs on a zero block
// until the others are done.
template <std::size_t Lanes>
void HashLanes(const std::uint32_t* words, std::span<const KeyBlocks> texts, std::span<std::uint64_t> keys) {
  static constexpr std::uint32_t kIdleBlock[2] = {0, 0};
  LaneFeeder feeder(texts, keys);
  // The hash states stay in locals so that they live in registers.
  std::array<std::uint32_t, Lanes> n1{};
  std::array<std::uint32_t, Lanes> n2{};
  std::array<LaneLoad, Lanes> loads{};
  std::array<const std::uint32_t*, Lanes> block{};
  std::array<bool, Lanes> busy{};
  std::size_t active = 0;
  const auto load = [&](std::size_t lane) {
    busy[lane] = feeder.Next(loads[lane]);
    block[lane] = busy[lane] ? words + loads[lane].start : kIdleBlock;
    return busy[lane];
  };
  for (std::size_t lane = 0; lane < Lanes; ++lane) active += load(lane) ? 1 : 0;
  while (active > 0) {
    SixteenRoundsOfEveryLane(n1, n2, std::make_index_sequence<16>{});
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
      n1[lane] ^= block[lane][0];
      n2[lane] ^= block[lane][1];
      if (!busy[lane]) continue;
      LaneLoad& text = loads[lane];
      block[lane] += 2;
      if (block[lane] == words + text.end) block[lane] = words + text.start;
      if (--text.steps > 0) continue;
      feeder.Store(text.index, n1[lane], n2[lane]);
      n1[lane] = 0;
      n2[lane] = 0;
      if (!load(lane)) --active;
    }
  }
}

bool CpuHas(HashKernel kernel) {
#if defined(__x86_64__) || defined(__i386__)
  switch (kernel) {
    case HashKernel::Scalar:
    case HashKernel::Interleaved:
      return true;
    case HashKernel::Avx2:
      return __builtin_cpu_supports("avx2");
    case HashKernel::Avx512Vbmi:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vbmi");
  }
  return false;
#else
  return kernel == HashKernel::Scalar || kernel == HashKernel::Interleaved;
#endif
}

HashKernel DetectFastest() {
  for (const HashKernel kernel : {HashKernel::Avx512Vbmi, HashKernel::Avx2}) {
    if (CpuHas(kernel)) return kernel;
  }
  return HashKernel::Interleaved;
}

}  // namespace

bool HashKernelRuns(HashKernel kernel) { return CpuHas(kernel); }

HashKernel FastestHashKernel() {
  static const HashKernel fastest = DetectFastest();
  return fastest;
}

const char* HashKernelName(HashKernel kernel) {
  switch (kernel) {
    case HashKernel::Scalar: return "scalar";
    case HashKernel::Interleaved: return "interleaved";
    case HashKernel::Avx2: return "avx2";
    case HashKernel::Avx512Vbmi: return "avx512vbmi";
  }
  return "?";
}

std::uint64_t HashBlocks(const std::uint32_t* words, std::size_t blocks) {
  std::uint32_t n1 = 0;
  std::uint32_t n2 = 0;
  for (int pass = 0; pass < kPasses; ++pass) {
    for (std::size_t block = 0; block < blocks; ++block) {
      SixteenRounds(n1, n2, std::make_index_sequence<16>{});
      n1 ^= words[2 * block];
      n2 ^= words[2 * block + 1];
    }
  }
  return std::uint64_t{n2} << 32 | n1;
}

void HashBatch(HashKernel kernel, const std::uint32_t* words, std::span<const KeyBlocks> texts,
               std::span<std::uint64_t> keys) {
  if (texts.size() != keys.size()) throw std::invalid_argument("HashBatch: one key per text expected");
  if (!CpuHas(kernel)) throw std::invalid_argument("HashBatch: the kernel does not run here");
  switch (kernel) {
    case HashKernel::Scalar:
      for (std::size_t i = 0; i < texts.size(); ++i) {
        keys[i] = texts[i].blocks == 0 ? 0 : HashBlocks(words + texts[i].offset, texts[i].blocks);
      }
      return;
    case HashKernel::Interleaved:
      key_hash_detail::HashInterleaved(words, texts, keys);
      return;
    case HashKernel::Avx2:
      key_hash_detail::HashAvx2(words, texts, keys);
      return;
    case HashKernel::Avx512Vbmi:
      key_hash_detail::HashAvx512Vbmi(words, texts, keys);
      return;
  }
}

namespace key_hash_detail {

// Six lanes measured fastest here (four leave the core idle between look-ups, eight run
// out of registers); small batches use fewer so that no lane idles from the start.
void HashInterleaved(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                     std::span<std::uint64_t> keys) {
  if (texts.size() <= 4) {
    HashLanes<4>(words, texts, keys);
  } else {
    HashLanes<6>(words, texts, keys);
  }
}

}  // namespace key_hash_detail
}  // namespace activity
