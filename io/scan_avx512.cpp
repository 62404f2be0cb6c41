// The index kernel for AVX-512BW; this file alone is compiled with
// -mavx512f -mavx512bw and runs only when the CPU reports both (scan.cpp).
// A word is one vector here, and a comparison yields its mask directly.
#include "scan_x86.h"

#if QNDL_SCAN_X86
#include <immintrin.h>

#include "scan_generic.h"

namespace {

struct Avx512 {
  static constexpr std::size_t kBytes = 64;
  using Reg = __m512i;
  static Reg load(const char* p) { return _mm512_loadu_si512(p); }
  static Reg splat(char c) { return _mm512_set1_epi8(c); }
  static std::uint64_t equal(Reg x, Reg c) { return _mm512_cmpeq_epi8_mask(x, c); }
  static std::uint64_t equal_any(Reg x, Reg a, Reg b, Reg c) {
    return _mm512_cmpeq_epi8_mask(x, a) | _mm512_cmpeq_epi8_mask(x, b) | _mm512_cmpeq_epi8_mask(x, c);
  }
};

}  // namespace

namespace scan::x86 {
void index_words_avx512(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  index_words_with<Avx512>(p, words, delimiter, out);
}
}  // namespace scan::x86
#endif
