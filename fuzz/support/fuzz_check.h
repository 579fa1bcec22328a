#pragma once
// What every fuzz target shares: an invariant check that stops the run loudly (libFuzzer
// and the replay both take an abort for a finding), and a cursor over the input bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz_support {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
  std::abort();
}

// Takes fixed-size values off the front of the input; missing bytes read as zero, so
// every input, however short, is a valid one.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  std::uint32_t U32() { return U16() | std::uint32_t{U16()} << 16; }
  std::uint64_t U64() { return U32() | std::uint64_t{U32()} << 32; }
  // Up to `count` bytes (fewer at the end of the input).
  std::string_view Text(std::size_t count) {
    const std::size_t n = count < Left() ? count : Left();
    const std::string_view text(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return text;
  }
  std::string_view Rest() { return Text(Left()); }
  std::size_t Left() const { return size_ - at_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace fuzz_support

#define FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::fuzz_support::Fail(#condition, __FILE__, __LINE__))
