#include "activity/path_key.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "activity/key_hash.h"
#include "activity/key_text.h"
#include "platform/ansi.h"
#include "platform/system.h"

namespace activity {
namespace {

constexpr std::size_t kBufferWords = kKeyTextLimit / 4;  // the work buffer as 32-bit words

using WorkBuffer = std::array<std::uint32_t, kBufferWords>;

// The path as the key sees it: drive letter and colon, that drive's network name, then
// the rest of the path. Held as three views so nothing is copied.
class CombinedPath {
 public:
  CombinedPath(std::string_view path, const NetworkNames& networkNames) {
    const std::size_t head = std::min<std::size_t>(path.size(), 2);
    parts_[0] = path.substr(0, head);
    parts_[1] = NetworkNameOf(path, networkNames);
    parts_[2] = path.substr(head);
  }

  // Characters from the first backslash (included) to the end; 0 without a backslash.
  std::size_t KeyedLength() const {
    std::size_t length = 0;
    bool found = false;
    for (const std::string_view part : parts_) {
      if (found) {
        length += part.size();
      } else if (const std::size_t at = part.find('\\'); at != std::string_view::npos) {
        found = true;
        length = part.size() - at;
      }
    }
    return length;
  }

  bool IsAscii() const {
    unsigned char any = 0;
    for (const std::string_view part : parts_) {
      for (const char c : part) any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
  }

  // Calls visit(run, at) for each run of characters after the first backslash, `at`
  // being the keyed position of the run's first character.
  template <class Visit>
  void ForEachRunAfterFirstBackslash(Visit&& visit) const {
    bool found = false;
    std::size_t at = 1;
    for (std::string_view part : parts_) {
      if (!found) {
        const std::size_t backslash = part.find('\\');
        if (backslash == std::string_view::npos) continue;
        found = true;
        part.remove_prefix(backslash + 1);
      }
      if (!part.empty()) visit(part, at);
      at += part.size();
    }
  }

  // Calls visit(c) for every character after the first backslash.
  template <class Visit>
  void ForEachAfterFirstBackslash(Visit&& visit) const {
    bool found = false;
    for (std::string_view part : parts_) {
      if (!found) {
        const std::size_t at = part.find('\\');
        if (at == std::string_view::npos) continue;
        found = true;
        part.remove_prefix(at + 1);
      }
      for (const char c : part) visit(c);
    }
  }

 private:
  static std::string_view NetworkNameOf(std::string_view path, const NetworkNames& networkNames) {
    if (path.empty()) return {};
    const char letter = path[0];
    if (letter >= 'A' && letter <= 'Z') return networkNames[letter - 'A'];
    if (letter >= 'a' && letter <= 'z') return networkNames[letter - 'a'];
    return {};
  }

  std::array<std::string_view, 3> parts_;
};

// Bytes 0x80-0xFF become 0xFF80-0xFFFF, as the recorder widens them.
inline std::uint16_t SignExtended(char c) {
  return static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<std::int8_t>(c)));
}

// Emits every word of the key text as put(index, word), each index exactly once.
// `keyedLength` is path.KeyedLength().
template <class Put>
void EmitKeyText(const CombinedPath& path, std::size_t keyedLength, Put&& put) {
  const std::size_t wordCount = keyedLength + 3;
  put(0, static_cast<std::uint16_t>(2 * wordCount - 2));
  if (keyedLength == 0) {  // no backslash: no component at all
    put(1, 4);
    put(2, 0);
    return;
  }
  std::uint16_t lastComponentOffset = 4;  // byte offset of the first length word
  std::size_t lengthIndex = 2;            // the first backslash opens the first component
  std::uint16_t length = 2;
  std::size_t next = 3;
  // Upper-casing keeps every backslash where it is, so components can be cut after it.
  auto emitUpper = [&](char c) {
    if (c == '\\') {
      put(lengthIndex, length);
      lastComponentOffset = static_cast<std::uint16_t>(lastComponentOffset + length);
      lengthIndex = next++;
      length = 2;
    } else {
      put(next++, SignExtended(c));
      length = static_cast<std::uint16_t>(length + 2);
    }
  };
  if (path.IsAscii()) {  // nearly every path: byte by byte, no state to carry
    path.ForEachAfterFirstBackslash([&emitUpper](char c) { emitUpper(platform::CharUpperA(c)); });
  } else {
    platform::Utf8AnsiUpper upper(emitUpper);
    path.ForEachAfterFirstBackslash([&upper](char c) { upper.Put(c); });
    upper.Finish();
  }
  put(lengthIndex, length);
  put(1, lastComponentOffset);
  put(next, 0);
}

// A path measured for its key text.
struct MeasuredPath {
  MeasuredPath(std::string_view pathText, const NetworkNames& networkNames)
      : path(pathText, networkNames), keyedLength(path.KeyedLength()) {
    const std::size_t bytes = 2 * (keyedLength + 3);
    blocks = bytes > kKeyTextLimit ? 0 : (bytes + 7) / 8;
  }
  CombinedPath path;
  std::size_t keyedLength;
  std::size_t blocks;  // 0 when the text exceeds the limit
};

// The upper-cased two bytes of a lead byte and what follows it, as the scalar builder
// makes them.
std::array<char, 2> UpperPair(unsigned char lead, unsigned char next) {
  std::array<char, 2> pair{};
  std::size_t written = 0;
  auto emit = [&](char c) { pair[written++] = c; };
  platform::Utf8AnsiUpper upper(emit);
  upper.Put(static_cast<char>(lead));
  upper.Put(static_cast<char>(next));
  upper.Finish();
  return pair;
}

// The key text of a path with a vector builder: the runs widened, then the last
// component's length, the head words, the padding and the two-byte letters patched.
void WriteKeyWordsByVector(TextBuilder builder, const MeasuredPath& measured, std::uint32_t* words) {
  key_text_detail::ComponentWriter writer{reinterpret_cast<unsigned char*>(words)};
  const std::size_t length = measured.keyedLength;
  if (length > 0) {
    const auto write = builder == TextBuilder::Avx512 ? key_text_detail::WriteRunAvx512
                                                      : key_text_detail::WriteRunAvx2;
    measured.path.ForEachRunAfterFirstBackslash(
        [&](std::string_view run, std::size_t at) { write(run.data(), run.size(), at, writer); });
    writer.Put(2 + writer.last, static_cast<std::uint16_t>(2 * (length - writer.last)));
  }
  // A lead byte pairs with the byte after it when that one continues a character: a
  // byte from 0x80 to 0xBF, which no length word can equal.
  const auto wordAt = [words](std::size_t index) {
    return static_cast<std::uint16_t>(words[index >> 1] >> (16 * (index & 1)));
  };
  for (std::size_t i = 0; i < writer.leadCount; ++i) {
    const std::size_t at = writer.leads[i];
    if (at + 1 >= length) continue;
    const std::uint16_t next = wordAt(3 + at);
    if (next < 0xFF80 || next > 0xFFBF) continue;
    const std::array<char, 2> upper =
        UpperPair(static_cast<unsigned char>(wordAt(2 + at)), static_cast<unsigned char>(next));
    writer.Put(2 + at, SignExtended(upper[0]));
    writer.Put(3 + at, SignExtended(upper[1]));
  }
  writer.Put(0, static_cast<std::uint16_t>(2 * (length + 3) - 2));
  writer.Put(1, static_cast<std::uint16_t>(4 + 2 * writer.last));
  for (std::size_t word = length + 2; word < 4 * measured.blocks; ++word) writer.Put(word, 0);
}

// Writes the key text into `words` as little-endian pairs of words, zero-padded to
// whole 8-byte blocks. Returns the block count, or 0 when the text exceeds the limit.
std::size_t FillKeyWords(TextBuilder builder, const MeasuredPath& measured, std::uint32_t* words) {
  if (measured.blocks == 0) return 0;
  if (builder != TextBuilder::Scalar) {
    WriteKeyWordsByVector(builder, measured, words);
    return measured.blocks;
  }
  std::fill_n(words, 2 * measured.blocks, 0u);
  EmitKeyText(measured.path, measured.keyedLength, [words](std::size_t index, std::uint16_t word) {
    words[index >> 1] |= std::uint32_t{word} << (16 * (index & 1));
  });
  return measured.blocks;
}

bool CpuHas(TextBuilder builder) {
#if defined(__x86_64__)
  switch (builder) {
    case TextBuilder::Scalar:
      return true;
    case TextBuilder::Avx2:
      return __builtin_cpu_supports("avx2");
    case TextBuilder::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vl");
  }
  return false;
#else
  return builder == TextBuilder::Scalar;
#endif
}

}  // namespace

bool TextBuilderRuns(TextBuilder builder) { return CpuHas(builder); }

TextBuilder FastestTextBuilder() {
  static const TextBuilder fastest = CpuHas(TextBuilder::Avx512) ? TextBuilder::Avx512
                                     : CpuHas(TextBuilder::Avx2)  ? TextBuilder::Avx2
                                                                  : TextBuilder::Scalar;
  return fastest;
}

const char* TextBuilderName(TextBuilder builder) {
  switch (builder) {
    case TextBuilder::Scalar: return "scalar";
    case TextBuilder::Avx2: return "avx2";
    case TextBuilder::Avx512: return "avx512";
  }
  return "?";
}

std::size_t WriteKeyWords(TextBuilder builder, std::string_view path, const NetworkNames& networkNames,
                          std::span<std::uint32_t, kKeyTextLimit / 4> words) {
  if (!CpuHas(builder)) throw std::invalid_argument("WriteKeyWords: the builder does not run here");
  return FillKeyWords(builder, MeasuredPath(path, networkNames), words.data());
}

std::string NetworkNameFromConnection(std::string_view remoteName) {
  if (!remoteName.empty() && remoteName.front() == '\\') remoteName.remove_prefix(1);
  return std::string(remoteName);
}

NetworkNames ReadNetworkNames(const platform::System& system) {
  NetworkNames names;
  for (int i = 0; i < 26; ++i) {
    if (const auto remote = system.GetNetworkConnection(static_cast<char>('A' + i))) {
      names[i] = NetworkNameFromConnection(*remote);
    }
  }
  return names;
}

std::vector<std::uint16_t> BuildKeyText(std::string_view pathText, const NetworkNames& networkNames) {
  const CombinedPath path(pathText, networkNames);
  const std::size_t keyedLength = path.KeyedLength();
  std::vector<std::uint16_t> text(keyedLength + 3);
  EmitKeyText(path, keyedLength, [&text](std::size_t index, std::uint16_t word) { text[index] = word; });
  return text;
}

std::uint64_t HashKeyText(std::span<const std::uint16_t> keyText) {
  if (keyText.empty() || keyText.size() * 2 > kKeyTextLimit) return 0;
  // The byte length is word 0 + 2, in 16 bits as the recorder computes it; bytes it
  // claims beyond the text read as zeros.
  const std::size_t total = static_cast<std::uint16_t>(keyText[0] + 2);
  if (total > kKeyTextLimit) return 0;
  WorkBuffer buffer{};
  for (std::size_t byte = 0; byte < total && byte / 2 < keyText.size(); ++byte) {
    const std::uint32_t value = (keyText[byte / 2] >> (8 * (byte % 2))) & 0xFF;
    buffer[byte / 4] |= value << (8 * (byte % 4));
  }
  return HashBlocks(buffer.data(), (total + 7) / 8);
}

std::uint64_t PathKey(std::string_view path, const NetworkNames& networkNames) {
  WorkBuffer buffer;
  const std::size_t blocks = FillKeyWords(FastestTextBuilder(), MeasuredPath(path, networkNames), buffer.data());
  return blocks == 0 ? 0 : HashBlocks(buffer.data(), blocks);
}

void PathKeys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
              std::span<std::uint64_t> keys) {
  if (paths.size() == 1 && keys.size() == 1) {
    keys[0] = PathKey(paths[0], networkNames);
    return;
  }
  PathKeyHasher().Keys(paths, networkNames, keys);
}

PathKeyHasher::PathKeyHasher(HashKernel kernel, TextBuilder builder) : kernel_(kernel), builder_(builder) {
  if (!HashKernelRuns(kernel)) throw std::invalid_argument("PathKeyHasher: the kernel does not run here");
  if (!TextBuilderRuns(builder)) throw std::invalid_argument("PathKeyHasher: the builder does not run here");
}

void PathKeyHasher::Keys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
                         std::span<std::uint64_t> keys) {
  if (keys.size() != paths.size()) {
    throw std::invalid_argument("PathKeys: one key per path expected");
  }
  for (std::size_t first = 0; first < paths.size(); first += kKeysPerBatch) {
    const std::size_t count = std::min(kKeysPerBatch, paths.size() - first);
    words_.clear();
    texts_.clear();
    for (std::size_t i = first; i < first + count; ++i) {
      // Built in place: the texts of a batch are most of the bytes the hashing touches.
      const MeasuredPath measured(paths[i], networkNames);
      const std::size_t offset = words_.size();
      words_.resize(offset + 2 * measured.blocks);
      FillKeyWords(builder_, measured, words_.data() + offset);
      texts_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(measured.blocks)});
    }
    HashBatch(kernel_, words_.data(), texts_, keys.subspan(first, count));
  }
}

}  // namespace activity
