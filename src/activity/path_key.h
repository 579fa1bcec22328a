#pragma once
// The 64-bit key of a file's path, bit-for-bit the recorder's: the path becomes a
// counted text of 16-bit words, which a keyed hash on the GOST 28147-89 round reduces.
// The hash constants live in activity/key_tables.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "activity/key_hash.h"
#include "activity/key_text.h"

namespace platform { class System; }

namespace activity {

// Per drive letter A..Z: the remote name of a mapped network drive with its first
// backslash dropped ("\server\share"); empty for local drives.
using NetworkNames = std::array<std::string, 26>;

// A key text longer than this many bytes is not hashed: its key is 0.
inline constexpr std::size_t kKeyTextLimit = 1024;

// "\\server\share" as the system reports a connection -> "\server\share".
std::string NetworkNameFromConnection(std::string_view remoteName);
// NetworkName of every drive letter the system maps.
NetworkNames ReadNetworkNames(const platform::System& system);

// Word 0: bytes after word 0; word 1: offset of the last component's length word; then
// each component as its length word and one sign-extended word per byte of its
// upper-cased UTF-8 text (platform::Utf8AnsiUpper); a final 0. Words 0 and 1 and the
// length words are 16-bit and wrap on texts far beyond the hashing limit.
std::vector<std::uint16_t> BuildKeyText(std::string_view path, const NetworkNames& networkNames);
// The key of a key text; 0 when the text is longer than kKeyTextLimit bytes (by its
// word 0 or by its real length) or empty.
std::uint64_t HashKeyText(std::span<const std::uint16_t> keyText);
// HashKeyText(BuildKeyText(path)), without allocating. Safe to call from several threads.
std::uint64_t PathKey(std::string_view path, const NetworkNames& networkNames);
// Keys of several paths at once, hashed side by side by the fastest kernel this
// processor runs (activity/key_hash.h): many times faster per key than PathKey.
// keys.size() must equal paths.size() (else std::invalid_argument). Safe to call from
// several threads.
void PathKeys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
              std::span<std::uint64_t> keys);

// The key text of `path` as the hash kernels read it (BuildKeyText's words in little-
// endian pairs, zero-padded to whole 8-byte blocks), written by `builder`, which must run
// here. Returns the blocks written, 0 (writing nothing) when the text exceeds the limit.
std::size_t WriteKeyWords(TextBuilder builder, std::string_view path, const NetworkNames& networkNames,
                          std::span<std::uint32_t, kKeyTextLimit / 4> words);

// PathKeys with a chosen kernel and text builder, keeping its buffers between calls: what a loop that
// hashes batch after batch holds on to. One hasher per thread.
class PathKeyHasher {
 public:
  // Throws std::invalid_argument for a kernel or builder that does not run here.
  explicit PathKeyHasher(HashKernel kernel = FastestHashKernel(),
                         TextBuilder builder = FastestTextBuilder());
  void Keys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
            std::span<std::uint64_t> keys);
  HashKernel Kernel() const { return kernel_; }

 private:
  // Work buffers of this many keys at most are built before they are hashed: enough
  // that the lanes rarely run dry, few enough that the buffers stay small.
  static constexpr std::size_t kKeysPerBatch = 2048;

  HashKernel kernel_;
  TextBuilder builder_;
  std::vector<std::uint32_t> words_;
  std::vector<KeyBlocks> texts_;
};

}  // namespace activity
