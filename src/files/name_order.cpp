#include "files/name_order.h"

#include <algorithm>

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

// The first sixteen bytes of a key whose bytes (unsigned) order as CompareNames orders
// names (but for names equal but for leading zeros), as two numbers that order as they
// do, zero-padded. A letter is its upper case. A digit run is '0', its length without
// leading zeros in two bytes, then those digits: against a letter it orders as any
// digit does (no letter upper-cases to a digit), against another run by length, then
// by digits, as CompareNumbers has it.
struct KeyHead {
  std::uint64_t head = 0;
  std::uint64_t next = 0;
};

KeyHead KeyHeadOf(std::string_view name) {
  unsigned char bytes[16] = {};
  std::size_t size = 0;
  const auto put = [&bytes, &size](unsigned char byte) {
    if (size < sizeof bytes) bytes[size++] = byte;
  };
  for (std::size_t i = 0; i < name.size() && size < sizeof bytes;) {
    if (!IsDigit(name[i])) {
      put(static_cast<unsigned char>(platform::CharUpperA(name[i++])));
      continue;
    }
    while (i < name.size() && name[i] == '0') ++i;
    const std::size_t start = i;
    while (i < name.size() && IsDigit(name[i])) ++i;
    const std::size_t length = std::min<std::size_t>(i - start, 0xFFFF);
    put('0');
    put(static_cast<unsigned char>(length >> 8));
    put(static_cast<unsigned char>(length & 0xFF));
    for (std::size_t k = start; k < start + length; ++k) put(static_cast<unsigned char>(name[k]));
  }
  KeyHead key;
  for (std::size_t k = 0; k < 8; ++k) key.head = key.head << 8 | bytes[k];
  for (std::size_t k = 8; k < 16; ++k) key.next = key.next << 8 | bytes[k];
  return key;
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

std::vector<std::uint32_t> NameRanks(std::size_t count, const std::function<std::string_view(std::uint32_t)>& nameOf) {
  // Most comparisons end in the keys' first sixteen bytes, held as two numbers; only
  // names alike that far are compared whole.
  struct Item {
    std::uint64_t head;
    std::uint64_t next;
    std::uint32_t name;
  };
  std::vector<Item> items;
  items.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    const KeyHead key = KeyHeadOf(nameOf(k));
    items.push_back({key.head, key.next, k});
  }
  std::sort(items.begin(), items.end(), [&nameOf](const Item& a, const Item& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.next != b.next) return a.next < b.next;
    if (const int order = CompareNames(nameOf(a.name), nameOf(b.name)); order != 0) return order < 0;
    return a.name < b.name;
  });
  std::vector<std::uint32_t> ranks(count);
  for (std::uint32_t k = 0; k < items.size(); ++k) ranks[items[k].name] = k;
  return ranks;
}

}  // namespace files
