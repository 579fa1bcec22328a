#include "activity/path_key.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "activity/key_hash.h"
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

// Writes the key text into `buffer` as little-endian pairs of words, zero-padded to whole
// 8-byte blocks. Returns the block count, or 0 when the text exceeds the limit.
std::size_t FillWorkBuffer(std::string_view pathText, const NetworkNames& networkNames,
                           WorkBuffer& buffer) {
  const CombinedPath path(pathText, networkNames);
  const std::size_t keyedLength = path.KeyedLength();
  const std::size_t bytes = 2 * (keyedLength + 3);
  if (bytes > kKeyTextLimit) return 0;
  const std::size_t blocks = (bytes + 7) / 8;
  std::fill_n(buffer.begin(), 2 * blocks, 0u);
  EmitKeyText(path, keyedLength, [&buffer](std::size_t index, std::uint16_t word) {
    buffer[index >> 1] |= std::uint32_t{word} << (16 * (index & 1));
  });
  return blocks;
}

}  // namespace

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
  const std::size_t blocks = FillWorkBuffer(path, networkNames, buffer);
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

PathKeyHasher::PathKeyHasher(HashKernel kernel) : kernel_(kernel) {
  if (!HashKernelRuns(kernel)) throw std::invalid_argument("PathKeyHasher: the kernel does not run here");
}

void PathKeyHasher::Keys(std::span<const std::string_view> paths, const NetworkNames& networkNames,
                         std::span<std::uint64_t> keys) {
  if (keys.size() != paths.size()) {
    throw std::invalid_argument("PathKeys: one key per path expected");
  }
  WorkBuffer buffer;
  for (std::size_t first = 0; first < paths.size(); first += kKeysPerBatch) {
    const std::size_t count = std::min(kKeysPerBatch, paths.size() - first);
    words_.clear();
    texts_.clear();
    for (std::size_t i = first; i < first + count; ++i) {
      const std::size_t blocks = FillWorkBuffer(paths[i], networkNames, buffer);
      texts_.push_back({static_cast<std::uint32_t>(words_.size()), static_cast<std::uint32_t>(blocks)});
      words_.insert(words_.end(), buffer.begin(), buffer.begin() + 2 * blocks);
    }
    HashBatch(kernel_, words_.data(), texts_, keys.subspan(first, count));
  }
}

}  // namespace activity
