// The index kernel, written once over a small vector interface V and
// instantiated per instruction set (scan_sse2.cpp, scan_avx2.cpp,
// scan_avx512.cpp, each compiled for its own set). V provides:
//   V::kBytes                     bytes per vector, a divisor of kWordSize
//   V::Reg                        the vector type
//   V::load(p)                    kBytes bytes from p, no alignment needed
//   V::splat(c)                   every byte c
//   V::equal(x, c)                bit i set when byte i of x equals byte i of c
//                                 (bits at or above kBytes clear)
//   V::equal_any(x, a, b, c)      the same for equal to a, b or c
// Include it only from one of those files, inside an anonymous namespace
// there: each instantiation is then compiled for, and used by, its own set.
#pragma once

#include "scan.h"

template <class V>
void index_words_with(const char* p, std::size_t words, char delimiter, scan::WordMasks* out) {
  using scan::Mask;
  const typename V::Reg cr = V::splat(scan::kCr);
  const typename V::Reg lf = V::splat(scan::kLf);
  const typename V::Reg ctrl_z = V::splat(scan::kCtrlZ);
  const typename V::Reg delim = V::splat(delimiter);
  for (std::size_t w = 0; w < words; ++w, p += scan::kWordSize) {
    // PERF: the three end bytes are or-ed as vectors, so a word costs one
    // mask extraction per vector for them and one for the delimiter.
    Mask ends = 0;
    Mask delims = 0;
    for (std::size_t k = 0; k < scan::kWordSize; k += V::kBytes) {
      const typename V::Reg bytes = V::load(p + k);
      ends |= static_cast<Mask>(V::equal_any(bytes, cr, lf, ctrl_z)) << k;
      delims |= static_cast<Mask>(V::equal(bytes, delim)) << k;
    }
    out[w].ends = ends;
    out[w].delims = delims;
  }
}
