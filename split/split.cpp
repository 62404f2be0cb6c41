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
// word, so bit b of word w is the byte at base + w * kWordSize + b.
SplitResult split_record(const scan::IndexedText& record, FieldTable& fields, int wanted) {
  wanted = std::clamp(wanted, 0, kMaxFields);
  SplitResult r;
  if (record.text.empty()) return r;
  const char* const base = record.text.data() - record.first_bit;
  const std::size_t end = record.first_bit + record.text.size();
  const std::size_t last_word = (end - 1) / kWordSize;
  const scan::WordMasks* const words = record.words;
  const char* field = record.text.data();  // where the next field starts
  std::string_view* stored = fields.data();
  std::string_view* const stored_end = stored + wanted;
  std::size_t w = 0;
  // The delimiters of word w not yet taken, none outside the record.
  Mask m = words[0].delims & scan::from_bit(record.first_bit);
  for (;;) {
    if (w == last_word) m &= below(end - w * kWordSize);
    // PERF: pointers rather than indices keep this loop to a few
    // instructions a field (count trailing zeros, clear lowest bit, store).
    const char* const word = base + w * kWordSize;
    for (; m != 0 && stored != stored_end; m &= m - 1) {
      const char* const cut = word + std::countr_zero(m);
      *stored++ = std::string_view(field, static_cast<std::size_t>(cut - field));
      field = cut + 1;
    }
    if (stored == stored_end || w == last_word) break;
    m = words[++w].delims;
  }
  // Every field stored so far was ended by a delimiter, so this is also the
  // number of delimiters taken.
  r.count = static_cast<int>(stored - fields.data());
  const char* const record_end = base + end;
  if (r.count < wanted) {
    // No delimiter after `field`: what remains is the last field, if any.
    if (field != record_end) fields[r.count++] = std::string_view(field, static_cast<std::size_t>(record_end - field));
    return r;
  }
  // Stopped at `wanted`: the record holds too many fields exactly when it has
  // kMaxFields delimiters in all. A rest shorter than the delimiters still
  // missing cannot reach that (the common case: no counting at all).
  const auto missing = static_cast<std::size_t>(kMaxFields - r.count);
  if (static_cast<std::size_t>(record_end - field) < missing) return r;
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
