// Key texts with AVX2: sixteen bytes widened to words per step.
// Only this function carries the instruction set.

#include "activity/key_text.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace activity::key_text_detail {

__attribute__((target("avx2"))) void WriteRunAvx2(const char* text, std::size_t count, std::size_t at,
                                                   ComponentWriter& writer) {
  const __m128i beforeA = _mm_set1_epi8('a' - 1);
  const __m128i afterZ = _mm_set1_epi8('z' + 1);
  const __m128i caseBit = _mm_set1_epi8(0x20);
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i latin1Lead = _mm_set1_epi8(static_cast<char>(0xC3));
  const __m128i latinExtendedLead = _mm_set1_epi8(static_cast<char>(0xC5));
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    // Signed compares: bytes from 0x80 on are negative and never letters.
    const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(bytes, beforeA), _mm_cmplt_epi8(bytes, afterZ));
    bytes = _mm_sub_epi8(bytes, _mm_and_si128(lower, caseBit));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(writer.bytes + 2 * (2 + at + i)), _mm256_cvtepi8_epi16(bytes));
    for (unsigned slashes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, backslash)));
         slashes != 0; slashes &= slashes - 1) {
      writer.Backslash(at + i + static_cast<std::size_t>(__builtin_ctz(slashes)));
    }
    if (_mm_movemask_epi8(bytes) == 0) continue;
    for (unsigned leads = static_cast<unsigned>(_mm_movemask_epi8(
             _mm_or_si128(_mm_cmpeq_epi8(bytes, latin1Lead), _mm_cmpeq_epi8(bytes, latinExtendedLead))));
         leads != 0; leads &= leads - 1) {
      writer.Lead(at + i + static_cast<std::size_t>(__builtin_ctz(leads)));
    }
  }
  for (; i < count; ++i) writer.Character(at + i, text[i]);
}

}  // namespace activity::key_text_detail

#else

namespace activity::key_text_detail {

void WriteRunAvx2(const char*, std::size_t, std::size_t, ComponentWriter&) {}

}  // namespace activity::key_text_detail

#endif
