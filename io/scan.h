// Byte searches that look at a chunk of bytes at a time: SSE2 where the
// compiler targets it (every x86-64 build), a plain loop elsewhere. The two
// chunk matchers give the same masks; everything else is built on them.
// No search reads outside the range it is given.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#define QNDL_SCAN_SSE2 1
#include <emmintrin.h>
#else
#define QNDL_SCAN_SSE2 0
#endif

namespace scan {

// Bytes compared at once; a chunk's result has one bit per byte, bit i for
// byte i.
inline constexpr std::size_t kChunkSize = 16;
using ChunkMask = std::uint32_t;

// The portable matchers: bit i set when p[i] equals one of the given bytes.
// p[0, kChunkSize) must be readable.
inline ChunkMask portable_match(const char* p, char a) {
  ChunkMask m = 0;
  for (std::size_t i = 0; i < kChunkSize; ++i) m |= static_cast<ChunkMask>(p[i] == a) << i;
  return m;
}
inline ChunkMask portable_match_any(const char* p, char a, char b, char c) {
  ChunkMask m = 0;
  for (std::size_t i = 0; i < kChunkSize; ++i) {
    m |= static_cast<ChunkMask>(p[i] == a || p[i] == b || p[i] == c) << i;
  }
  return m;
}

#if QNDL_SCAN_SSE2
inline ChunkMask match(const char* p, char a) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<ChunkMask>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(a))));
}
inline ChunkMask match_any(const char* p, char a, char b, char c) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(a)),
                                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b))),
                                    _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
  return static_cast<ChunkMask>(_mm_movemask_epi8(hits));
}
#else
inline ChunkMask match(const char* p, char a) { return portable_match(p, a); }
inline ChunkMask match_any(const char* p, char a, char b, char c) { return portable_match_any(p, a, b, c); }
#endif

// Long stretches without a match are skipped a span of chunks at a time,
// with one test of their combined masks. p[0, kSpanSize) must be readable.
inline constexpr std::size_t kSpanSize = 4 * kChunkSize;
inline bool span_has(const char* p, char a) {
  return (match(p, a) | match(p + kChunkSize, a) | match(p + 2 * kChunkSize, a) |
          match(p + 3 * kChunkSize, a)) != 0;
}

// The first byte in [p, end) equal to `a`, `b` or `c`, or end. (Most
// records end within a few chunks; skipping spans here would cost them more
// than it saves on long lines.)
inline const char* find_any(const char* p, const char* end, char a, char b, char c) {
  for (; end - p >= static_cast<std::ptrdiff_t>(kChunkSize); p += kChunkSize) {
    if (const ChunkMask m = match_any(p, a, b, c)) return p + std::countr_zero(m);
  }
  for (; p != end; ++p) {
    if (*p == a || *p == b || *p == c) return p;
  }
  return end;
}

// How many bytes in [p, end) equal `a`; counting stops once `enough` are
// found, so the result is the count or a number >= enough. Made for sparse
// matches (the delimiters in the rest of a long record).
inline std::size_t count_up_to(const char* p, const char* end, char a, std::size_t enough) {
  std::size_t n = 0;
  while (n < enough) {
    while (end - p >= static_cast<std::ptrdiff_t>(kSpanSize) && !span_has(p, a)) p += kSpanSize;
    if (end - p < static_cast<std::ptrdiff_t>(kChunkSize)) break;
    for (ChunkMask m = match(p, a); m != 0; m &= m - 1) ++n;
    p += kChunkSize;
  }
  for (; p != end && n < enough; ++p) n += *p == a;
  return n;
}

// Calls visit(hit) for each byte in [p, end) equal to `a`, in order, until
// visit returns false. Each chunk is matched once and its hits are taken
// from the mask, so closely spaced hits (the delimiters of a record) cost a
// few instructions each. A range of at least a chunk ends with the chunk
// that ends at `end`, its bytes before the unmatched rest masked off; a
// shorter range is matched byte by byte.
template <class Visit>
void for_each_match(const char* p, const char* end, char a, Visit&& visit) {
  const bool has_chunk = end - p >= static_cast<std::ptrdiff_t>(kChunkSize);
  for (; end - p >= static_cast<std::ptrdiff_t>(kChunkSize); p += kChunkSize) {
    for (ChunkMask m = match(p, a); m != 0; m &= m - 1) {
      if (!visit(p + std::countr_zero(m))) return;
    }
  }
  if (p == end) return;
  const char* base = p;
  ChunkMask m = 0;
  if (has_chunk) {
    base = end - kChunkSize;
    m = match(base, a) & (~ChunkMask{0} << (p - base));
  } else {
    for (std::size_t i = 0; p + i != end; ++i) m |= static_cast<ChunkMask>(p[i] == a) << i;
  }
  for (; m != 0; m &= m - 1) {
    if (!visit(base + std::countr_zero(m))) return;
  }
}

}  // namespace scan
