// The index kernel for SSE2, which every x86-64 CPU has.
#include "scan_x86.h"

#if QNDL_SCAN_X86
#include <emmintrin.h>

#include "scan_generic.h"

namespace {

struct Sse2 {
  static constexpr std::size_t kBytes = 16;
  using Reg = __m128i;
  static Reg load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static Reg splat(char c) { return _mm_set1_epi8(c); }
  static unsigned equal(Reg x, Reg c) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, c)));
  }
  static unsigned equal_any(Reg x, Reg a, Reg b, Reg c) {
    const Reg hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, a), _mm_cmpeq_epi8(x, b)),
                                  _mm_cmpeq_epi8(x, c));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  }
};

}  // namespace

namespace scan::x86 {
void index_words_sse2(const char* p, std::size_t words, char delimiter, WordMasks* out) {
  index_words_with<Sse2>(p, words, delimiter, out);
}
}  // namespace scan::x86
#endif
