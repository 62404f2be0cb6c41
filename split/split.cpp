#include "split.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace split {
namespace {

using scan::kWordSize;
using scan::Mask;

// Bits below n, for n in [1, kWordSize].
Mask below(std::size_t n) { return ~Mask{0} >> (kWordSize - n); }

}  // namespace

// Positions below are counted from `base`, the start of the record's first
// word, so a bit b of word w is position w * kWordSize + b.
SplitResult split_record(const scan::IndexedText& record, FieldTable& fields, int wanted) {
  wanted = std::clamp(wanted, 0, kMaxFields);
  SplitResult r;
  if (record.text.empty()) return r;
  const char* const base = record.text.data() - record.first_bit;
  const std::size_t end = record.first_bit + record.text.size();
  const std::size_t last_word = (end - 1) / kWordSize;
  const scan::WordMasks* const words = record.words;
  std::size_t field = record.first_bit;  // where the next field starts
  std::size_t w = 0;
  // The delimiters of word w not yet taken, none outside the record.
  Mask m = words[0].delims & scan::from_bit(record.first_bit);
  for (;;) {
    if (w == last_word) m &= below(end - w * kWordSize);
    // Every field stored here was ended by a delimiter, so `r.count` is
    // also the number of delimiters taken.
    for (; m != 0 && r.count < wanted; m &= m - 1) {
      const std::size_t cut = w * kWordSize + static_cast<std::size_t>(std::countr_zero(m));
      fields[r.count++] = std::string_view(base + field, cut - field);
      field = cut + 1;
    }
    if (r.count == wanted || w == last_word) break;
    m = words[++w].delims;
  }
  if (r.count < wanted) {
    // No delimiter after `field`: what remains is the last field, if any.
    if (field != end) fields[r.count++] = std::string_view(base + field, end - field);
    return r;
  }
  // Stopped at `wanted`: the record holds too many fields exactly when it has
  // kMaxFields delimiters in all. A rest shorter than the delimiters still
  // missing cannot reach that (the common case: no counting at all).
  const auto missing = static_cast<std::size_t>(kMaxFields - r.count);
  if (end - field < missing) return r;
  // PERF: a population count per word of the rest; words without a
  // delimiter (most of a long line) cost a test each.
  std::size_t found = static_cast<std::size_t>(std::popcount(m));
  while (found < missing && w != last_word) {
    m = words[++w].delims;
    if (w == last_word) m &= below(end - w * kWordSize);
    if (m != 0) found += static_cast<std::size_t>(std::popcount(m));
  }
  r.too_many = found >= missing;
  return r;
}

}  // namespace split
