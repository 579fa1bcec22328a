// Path keys of arbitrary bytes, as names on disk and hand-off paths give them. The input
// is a network name for one drive letter, then paths, one per line. Every way of
// computing a key agrees (the key text hashed, the direct key, the interleaved batch),
// the key text holds what its header words say, and ASCII case never changes a key.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "activity/path_key.h"
#include "support/fuzz_check.h"

namespace {

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::Input input(data, size);
  activity::NetworkNames names{};
  const std::size_t letter = input.Byte() % 26;
  names[letter] = std::string(input.Text(input.Byte() % 64));
  std::vector<std::string> paths;
  std::string_view rest = input.Rest();
  while (!rest.empty() && paths.size() < 32) {
    const std::size_t end = rest.find('\n');
    paths.emplace_back(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  }

  std::vector<std::uint64_t> keys;
  for (const std::string& path : paths) {
    const std::uint64_t key = activity::PathKey(path, names);
    const std::vector<std::uint16_t> text = activity::BuildKeyText(path, names);
    FUZZ_CHECK(text.size() >= 3);
    FUZZ_CHECK(activity::HashKeyText(text) == key);
    FUZZ_CHECK(text[0] == static_cast<std::uint16_t>(2 * text.size() - 2));
    if (2 * text.size() > activity::kKeyTextLimit) FUZZ_CHECK(key == 0);
    // Word 1 points at the last component's length word, inside the text.
    FUZZ_CHECK(text[1] % 2 == 0);
    if (2 * text.size() <= 0xFFFF) FUZZ_CHECK(text[1] / 2 < text.size());
    FUZZ_CHECK(activity::PathKey(AsciiUpper(path), names) == key);
    keys.push_back(key);
  }
  std::vector<std::string_view> views(paths.begin(), paths.end());
  std::vector<std::uint64_t> batch(paths.size());
  activity::PathKeys(views, names, batch);
  FUZZ_CHECK(batch == keys);
  return 0;
}
