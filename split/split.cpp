#include "split.h"

#include <algorithm>
#include <cstring>

namespace split {

SplitResult split_record(std::string_view record, char delimiter, FieldTable& fields,
                         int wanted) {
  wanted = std::clamp(wanted, 0, kMaxFields);
  SplitResult r;
  const char* pos = record.data();
  const char* const end = pos + record.size();
  // Every field stored below was ended by a delimiter unless it reached the
  // end of the record, so `r.count` is also the number of delimiters passed.
  while (r.count < wanted && pos != end) {
    const void* hit = std::memchr(pos, delimiter, static_cast<size_t>(end - pos));
    if (hit == nullptr) {
      fields[r.count++] = std::string_view(pos, static_cast<size_t>(end - pos));
      return r;
    }
    const char* const cut = static_cast<const char*>(hit);
    fields[r.count++] = std::string_view(pos, static_cast<size_t>(cut - pos));
    pos = cut + 1;
    if (r.count == kMaxFields) {
      r.too_many = true;
      return r;
    }
  }
  // Stopped early (or at the end): the record holds too many fields exactly
  // when it has kMaxFields delimiters in all. Short rests cannot reach that.
  const auto rest = static_cast<size_t>(end - pos);
  if (rest == 0 || static_cast<size_t>(r.count) + rest < static_cast<size_t>(kMaxFields)) {
    return r;
  }
  const auto more = std::count(pos, end, delimiter);
  r.too_many = r.count + more >= kMaxFields;
  return r;
}

}  // namespace split
