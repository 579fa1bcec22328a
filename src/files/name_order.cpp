#include "files/name_order.h"

#include <algorithm>
#include <string>

#include "platform/ansi.h"

namespace files {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int CompareBytes(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// Compares the digit runs starting at a[i] and b[j] by value and moves both past them.
int CompareNumbers(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j) {
  while (i < a.size() && a[i] == '0') ++i;
  while (j < b.size() && b[j] == '0') ++j;
  const std::size_t startA = i, startB = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  const std::size_t lengthA = i - startA, lengthB = j - startB;
  if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  return CompareBytes(a.substr(startA, lengthA), b.substr(startB, lengthB));
}

// A key whose bytes (unsigned) order as CompareNames orders names, but for names equal
// but for leading zeros. A letter is its upper case. A digit run is '0', its length
// without leading zeros in two bytes, then those digits: against a letter it orders as
// any digit does (no letter upper-cases to a digit), against another run by length,
// then by digits, as CompareNumbers has it.
void AppendKey(std::string_view name, std::string& key) {
  for (std::size_t i = 0; i < name.size();) {
    if (!IsDigit(name[i])) {
      key += platform::CharUpperA(name[i++]);
      continue;
    }
    while (i < name.size() && name[i] == '0') ++i;
    const std::size_t start = i;
    while (i < name.size() && IsDigit(name[i])) ++i;
    const std::size_t length = std::min<std::size_t>(i - start, 0xFFFF);
    key += '0';
    key += static_cast<char>(length >> 8);
    key += static_cast<char>(length & 0xFF);
    key.append(name.substr(start, length));
  }
}

// Eight bytes of the key from `from` as a number that orders as they do, zero-padded:
// most comparisons end in the first sixteen bytes without reaching the keys themselves.
std::uint64_t Prefix(std::string_view key, std::size_t from) {
  std::uint64_t prefix = 0;
  for (std::size_t k = from; k < from + 8; ++k) {
    prefix = prefix << 8 | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
  }
  return prefix;
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      if (const int order = CompareNumbers(a, i, b, j); order != 0) return order;
      continue;
    }
    const auto x = static_cast<unsigned char>(platform::CharUpperA(a[i]));
    const auto y = static_cast<unsigned char>(platform::CharUpperA(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return CompareBytes(a, b);
}

std::vector<std::uint32_t> NameRanks(std::span<const std::string_view> names) {
  std::string keys;
  std::vector<std::size_t> ends(names.size());
  for (std::size_t k = 0; k < names.size(); ++k) {
    AppendKey(names[k], keys);
    ends[k] = keys.size();
  }
  const auto keyOf = [&keys, &ends](std::uint32_t k) {
    const std::size_t start = k == 0 ? 0 : ends[k - 1];
    return std::string_view(keys).substr(start, ends[k] - start);
  };
  struct Item {
    std::uint64_t head;
    std::uint64_t next;
    std::uint32_t name;
  };
  std::vector<Item> items(names.size());
  for (std::uint32_t k = 0; k < items.size(); ++k) items[k] = {Prefix(keyOf(k), 0), Prefix(keyOf(k), 8), k};
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    if (const int order = keyOf(a.name).compare(keyOf(b.name)); order != 0) return order < 0;
    if (const int order = CompareBytes(names[a.name], names[b.name]); order != 0) return order < 0;
    return a.name < b.name;
  });
  std::vector<std::uint32_t> ranks(names.size());
  for (std::uint32_t k = 0; k < items.size(); ++k) ranks[items[k].name] = k;
  return ranks;
}

}  // namespace files
