// The x86-64 forms of the index kernel, each in a file of its own compiled
// for its instruction set. The build defines QNDL_SCAN_X86 as 1 when it
// compiles them (io/CMakeLists.txt, on x86-64 only).
#pragma once

#include <cstddef>

#include "scan.h"

#ifndef QNDL_SCAN_X86
#define QNDL_SCAN_X86 0
#endif

#if QNDL_SCAN_X86
namespace scan::x86 {
void index_words_sse2(const char* p, std::size_t words, char delimiter, WordMasks* out);
void index_words_avx2(const char* p, std::size_t words, char delimiter, WordMasks* out);
void index_words_avx512(const char* p, std::size_t words, char delimiter, WordMasks* out);
}  // namespace scan::x86
#endif
