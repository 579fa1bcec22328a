#pragma once
// The keyed hash of path keys over prepared work buffers, one key or many at once.
//
// A batch is a run of zero-padded key texts laid end to end in one array of 32-bit
// little-endian words (two words per 8-byte block). Several implementations hash
// batches; all give the same keys bit for bit, and the fastest one the processor can
// run is chosen when the program starts (never at build time, so one binary runs on
// every x86-64). Each hashes many keys side by side and gives a lane that finishes
// its key the next one at once, so keys of every length mix freely in a batch.

#include <cstdint>
#include <span>

namespace activity {

enum class HashKernel : std::uint8_t {
  Scalar,       // one key after another
  Interleaved,  // six keys in turn on the scalar units, hiding the table look-ups' latency
  Avx2,         // eight keys per vector, nibble look-ups with vpshufb
  Avx512Vbmi,   // sixteen keys per vector, all four substitution tables in one vpermb
};
inline constexpr HashKernel kAllHashKernels[] = {HashKernel::Scalar, HashKernel::Interleaved,
                                                 HashKernel::Avx2, HashKernel::Avx512Vbmi};

// One key text of a batch: `blocks` 8-byte blocks from word `offset` on. No blocks: the
// text was too long to hash, and its key is 0.
struct KeyBlocks {
  std::uint32_t offset = 0;
  std::uint32_t blocks = 0;
};

// Whether this processor (and its operating system) can run the kernel.
bool HashKernelRuns(HashKernel kernel);
// The fastest kernel that runs here, chosen once.
HashKernel FastestHashKernel();
const char* HashKernelName(HashKernel kernel);

// The hash of `blocks` blocks (at least one) at `words`.
std::uint64_t HashBlocks(const std::uint32_t* words, std::size_t blocks);

// keys[i] = the hash of texts[i] in `words`. The kernel must run here; texts and keys
// have the same size; every offset + 2 * blocks lies within `words`, whose size is
// below 2^31 words.
void HashBatch(HashKernel kernel, const std::uint32_t* words, std::span<const KeyBlocks> texts,
               std::span<std::uint64_t> keys);

}  // namespace activity
