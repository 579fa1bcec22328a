// Key texts with AVX-512: thirty-two bytes widened to words per step,
// the tail loaded and stored under a mask. Only this function carries the instruction set.

#include "activity/key_text.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace activity::key_text_detail {

__attribute__((target("avx512f,avx512bw,avx512vl"))) void WriteRunAvx512(
    const char* text, std::size_t count, std::size_t at, ComponentWriter& writer) {
  const __m256i a = _mm256_set1_epi8('a');
  const __m256i letters = _mm256_set1_epi8(26);
  const __m256i caseBit = _mm256_set1_epi8(0x20);
  const __m256i backslash = _mm256_set1_epi8('\\');
  const __m256i latin1Lead = _mm256_set1_epi8(static_cast<char>(0xC3));
  const __m256i latinExtendedLead = _mm256_set1_epi8(static_cast<char>(0xC5));
  for (std::size_t i = 0; i < count; i += 32) {
    const std::size_t step = count - i < 32 ? count - i : 32;
    const __mmask32 present = step == 32 ? ~__mmask32{0} : (__mmask32{1} << step) - 1;
    __m256i bytes = _mm256_maskz_loadu_epi8(present, text + i);
    const __mmask32 lower = _mm256_cmplt_epu8_mask(_mm256_sub_epi8(bytes, a), letters);
    bytes = _mm256_mask_sub_epi8(bytes, lower, bytes, caseBit);
    _mm512_mask_storeu_epi16(writer.bytes + 2 * (2 + at + i), present, _mm512_cvtepi8_epi16(bytes));
    for (__mmask32 slashes = _mm256_mask_cmpeq_epi8_mask(present, bytes, backslash); slashes != 0;
         slashes &= slashes - 1) {
      writer.Backslash(at + i + static_cast<std::size_t>(__builtin_ctz(slashes)));
    }
    if (_mm256_movemask_epi8(bytes) == 0) continue;
    for (__mmask32 leads = _mm256_cmpeq_epi8_mask(bytes, latin1Lead) | _mm256_cmpeq_epi8_mask(bytes, latinExtendedLead);
         leads != 0; leads &= leads - 1) {
      writer.Lead(at + i + static_cast<std::size_t>(__builtin_ctz(leads)));
    }
  }
}

}  // namespace activity::key_text_detail

#else

namespace activity::key_text_detail {

void WriteRunAvx512(const char*, std::size_t, std::size_t, ComponentWriter&) {}

}  // namespace activity::key_text_detail

#endif
