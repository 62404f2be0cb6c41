// The structural index of a block of input: every 64-byte word of a buffer
// becomes two bit masks, one of the bytes that end a record's text (CR, LF,
// Ctrl-Z) and one of the delimiter bytes. The record reader finds records in
// the first, the splitter finds fields in the second; the bytes themselves
// are looked at once, here.
//
// One kernel fills the masks. It has a portable form for every CPU and, on
// x86-64, vector forms for SSE2 (every x86-64 CPU has it), AVX2 and
// AVX-512BW, all generated from one generic loop (scan_generic.h). Which one
// runs is chosen once, from what the CPU reports, and cached (scan.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace scan {

// A word is kWordSize bytes of a buffer starting at a multiple of kWordSize
// from the buffer's start. Its masks have bit i (value 1 << i) for byte i of
// the word, whatever the CPU's byte order.
inline constexpr std::size_t kWordSize = 64;
using Mask = std::uint64_t;

inline constexpr char kCr = '\r';
inline constexpr char kLf = '\n';
inline constexpr char kCtrlZ = '\x1a';

struct WordMasks {
  Mask ends = 0;    // bit i: byte i is CR, LF or Ctrl-Z
  Mask delims = 0;  // bit i: byte i is the delimiter
};

// Fills out[0, words) with the masks of the words at p: word w is
// p[w * kWordSize, (w + 1) * kWordSize), all of which must be readable.
void index_words(const char* p, std::size_t words, char delimiter, WordMasks* out);

// A piece of indexed text: text[i] is byte first_bit + i of the words
// described by words[0], words[1], ... (so text.data() - first_bit is the
// start of words[0]). Bits of those masks outside the piece mean nothing
// to it.
struct IndexedText {
  std::string_view text;
  const WordMasks* words = nullptr;
  unsigned first_bit = 0;  // below kWordSize
};

// Bits at or above `bit` (bit < kWordSize).
inline Mask from_bit(unsigned bit) { return ~Mask{0} << bit; }

// The implementations of index_words, in order of preference on x86-64.
enum class Path { kPortable, kSse2, kAvx2, kAvx512 };

// The paths this build has and this CPU (and its operating system) can run,
// in the order above; the last one is the one chosen by default.
std::span<const Path> available_paths();
const char* path_name(Path path);
// The path index_words runs. force_path makes it `path` (one of
// available_paths()), so tests can run everything on every path.
Path active_path();
void force_path(Path path);

}  // namespace scan
