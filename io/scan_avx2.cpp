// The index kernel for AVX2; this file alone is compiled with -mavx2 and runs
// only when the CPU reports AVX2 (scan.cpp).
#include "scan_x86.h"

#if QNDL_SCAN_X86
#include <immintrin.h>

#include "scan_generic.h"

namespace {

struct Avx2 {
  static constexpr std::size_t kBytes = 32;
  using Reg = __m256i;
  static Reg load(const char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static Reg splat(char c) { return _mm256_set1_epi8(c); }
  static unsigned equal(Reg x, Reg c) {
    return static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, c)));
  }
  static unsigned equal_any(Reg x, Reg a, Reg b, Reg c) {
    const Reg hits = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(x, a), _mm256_cmpeq_epi8(x, b)),
                                     _mm256_cmpeq_epi8(x, c));
    return static_cast<unsigned>(_mm256_movemask_epi8(hits));
  }
};

}  // namespace

namespace scan::x86 {
void index_words_avx2(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  index_words_with<Avx2>(p, words, delimiter, out);
}
}  // namespace scan::x86
#endif
