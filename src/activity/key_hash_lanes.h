#pragma once
// What the batch kernels of the path key hash share: the hand-out of key texts to the
// lanes that hash them, and the kernels' entry points.

#include <cstdint>
#include <limits>
#include <span>

#include "activity/key_hash.h"

namespace activity::key_hash_detail {

inline constexpr int kPasses = 5;

// A lane that has no key left counts down from here; when even that runs out, the
// kernel simply sets it again.
inline constexpr std::int32_t kIdleSteps = std::numeric_limits<std::int32_t>::max();

// One key text as a lane walks it: `steps` blocks still to hash (5 passes over its
// blocks), the block at `position` next, back to `start` when it reaches `end`. All
// are word offsets into the batch's words.
struct LaneLoad {
  std::uint32_t index = 0;  // of the text in the batch
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::int32_t steps = kIdleSteps;
};

// Hands the texts of a batch out in order, answering the ones without blocks (too long
// to hash) with key 0 on the way.
class LaneFeeder {
 public:
  LaneFeeder(std::span<const KeyBlocks> texts, std::span<std::uint64_t> keys)
      : texts_(texts), keys_(keys) {}

  // The next text to hash; false when none is left (`load` then idles).
  bool Next(LaneLoad& load) {
    while (next_ < texts_.size()) {
      const std::uint32_t index = static_cast<std::uint32_t>(next_++);
      const KeyBlocks text = texts_[index];
      if (text.blocks == 0) {
        keys_[index] = 0;
        continue;
      }
      load.index = index;
      load.start = text.offset;
      load.end = text.offset + 2 * text.blocks;
      load.steps = static_cast<std::int32_t>(kPasses * text.blocks);
      return true;
    }
    load.steps = kIdleSteps;
    return false;
  }

  void Store(std::uint32_t index, std::uint32_t n1, std::uint32_t n2) {
    keys_[index] = std::uint64_t{n2} << 32 | n1;
  }

 private:
  std::span<const KeyBlocks> texts_;
  std::span<std::uint64_t> keys_;
  std::size_t next_ = 0;
};

// The kernels; each may be called only where HashKernelRuns says it runs.
void HashInterleaved(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                     std::span<std::uint64_t> keys);
void HashAvx2(const std::uint32_t* words, std::span<const KeyBlocks> texts,
              std::span<std::uint64_t> keys);
void HashAvx512Vbmi(const std::uint32_t* words, std::span<const KeyBlocks> texts,
                    std::span<std::uint64_t> keys);

}  // namespace activity::key_hash_detail
