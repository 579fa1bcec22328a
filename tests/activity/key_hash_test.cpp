// Every hashing kernel this processor runs must give the scalar hash's keys, bit for bit:
// the recorder computes keys one at a time, and a kernel that differs in a single lane
// would leave that file without its activity record.

#include "activity/key_hash.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "activity/path_key.h"

namespace activity {
namespace {

class EveryKernel : public testing::TestWithParam<HashKernel> {
 protected:
  void SetUp() override {
    if (!HashKernelRuns(GetParam())) GTEST_SKIP() << "this processor cannot run " << HashKernelName(GetParam());
  }
};

// Paths of 1 to 540 characters after the drive (a key text past the 1024-byte limit
// from 510 on), made of every byte value, on drives with and without network names.
std::vector<std::string> RandomPaths(std::uint32_t seed, std::size_t count) {
  std::mt19937 random(seed);
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < count; ++i) {
    std::string path;
    path += static_cast<char>('A' + random() % 26);
    path += ":\\";
    const std::size_t length = 1 + random() % 540;
    for (std::size_t c = 0; c < length; ++c) {
      // One in eight a backslash, so that components of every length occur.
      path += random() % 8 == 0 ? '\\' : static_cast<char>(random() % 256);
    }
    paths.push_back(std::move(path));
  }
  return paths;
}

NetworkNames LongNetworkNames() {
  NetworkNames names{};
  names['B' - 'A'] = "\\server\\share";
  names['F' - 'A'] = "host\\Vol\xe9";
  names['Q' - 'A'] = "\\" + std::string(300, 'q');  // pushes most paths past the limit
  return names;
}

TEST_P(EveryKernel, GivesTheScalarKeysForARandomCorpus) {
  constexpr std::uint32_t kSeed = 15;
  SCOPED_TRACE("corpus seed " + std::to_string(kSeed));
  const std::vector<std::string> paths = RandomPaths(kSeed, 6000);
  const NetworkNames names = LongNetworkNames();
  std::vector<std::uint64_t> expected;
  std::size_t tooLong = 0;
  for (const std::string& path : paths) {
    expected.push_back(HashKeyText(BuildKeyText(path, names)));
    tooLong += BuildKeyText(path, names).size() * 2 > kKeyTextLimit ? 1 : 0;
  }
  ASSERT_GT(tooLong, 100u);
  ASSERT_LT(tooLong, paths.size() / 2);

  PathKeyHasher hasher(GetParam());
  // Batches of one lane, of part of a vector, of a few vectors, and one larger than the
  // hasher builds at once, so that lanes run dry and refill at every point.
  std::size_t first = 0;
  for (const std::size_t size : {1, 3, 16, 17, 40, 64, 65, 200, 5000}) {
    ASSERT_LE(first + size, paths.size());
    const std::vector<std::string_view> batch(paths.begin() + first, paths.begin() + first + size);
    std::vector<std::uint64_t> keys(size, 0xDEADBEEF);
    hasher.Keys(batch, names, keys);
    for (std::size_t i = 0; i < size; ++i) {
      ASSERT_EQ(keys[i], expected[first + i]) << "path " << first + i << " of batch size " << size;
    }
    first = (first + size) % 500;
  }
}

TEST_P(EveryKernel, GivesThePinnedKeys) {
  const NetworkNames none{};
  const std::vector<std::string_view> paths = {"C:\\A.TXT", "D:\\Program Files\\Norvex\\norvex.exe"};
  std::vector<std::uint64_t> keys(2);
  PathKeyHasher(GetParam()).Keys(paths, none, keys);
  EXPECT_EQ(keys[0], 0x3557a2a8c3b970e5ull);
  EXPECT_EQ(keys[1], 0x28027a475112371bull);
}

TEST_P(EveryKernel, AnswersTextsWithoutBlocksWithZero) {
  // One real text between two that were too long: the lanes must not take them up.
  const std::vector<std::uint32_t> words = {0x00040006, 0x00580004};
  const std::vector<KeyBlocks> texts = {{0, 0}, {0, 1}, {0, 0}};
  std::vector<std::uint64_t> keys(3, 1);
  HashBatch(GetParam(), words.data(), texts, keys);
  EXPECT_EQ(keys, (std::vector<std::uint64_t>{0, HashBlocks(words.data(), 1), 0}));
}

INSTANTIATE_TEST_SUITE_P(Kernels, EveryKernel, testing::ValuesIn(kAllHashKernels),
                         [](const testing::TestParamInfo<HashKernel>& info) {
                           return std::string(HashKernelName(info.param));
                         });

TEST(HashKernels, TheChosenKernelRunsHere) {
  EXPECT_TRUE(HashKernelRuns(FastestHashKernel()));
  EXPECT_TRUE(HashKernelRuns(HashKernel::Scalar));
  EXPECT_TRUE(HashKernelRuns(HashKernel::Interleaved));
}

}  // namespace
}  // namespace activity
