#include "split.h"

#include <algorithm>

#include "scan.h"

namespace split {

SplitResult split_record(std::string_view record, char delimiter, FieldTable& fields,
                         int wanted) {
  wanted = std::clamp(wanted, 0, kMaxFields);
  SplitResult r;
  const char* field = record.data();  // start of the next field
  const char* const end = field + record.size();
  if (field == end) return r;
  // Every field stored here was ended by a delimiter, so `r.count` is also
  // the number of delimiters passed.
  bool stopped = wanted == 0;
  const auto store_field = [&](const char* cut) {
    fields[r.count++] = std::string_view(field, static_cast<size_t>(cut - field));
    field = cut + 1;
    if (r.count == kMaxFields) {
      r.too_many = true;
      stopped = true;
    } else {
      stopped = r.count == wanted;
    }
    return !stopped;
  };
  if (!stopped) scan::for_each_match(field, end, delimiter, store_field);
  if (!stopped) {
    // No delimiter after `field`: what remains is the last field, if any.
    if (field != end) fields[r.count++] = std::string_view(field, static_cast<size_t>(end - field));
    return r;
  }
  if (r.too_many) return r;
  // Stopped at `wanted`: the record holds too many fields exactly when it has
  // kMaxFields delimiters in all. Short rests cannot reach that.
  const auto rest = static_cast<size_t>(end - field);
  const auto enough = static_cast<size_t>(kMaxFields - r.count);
  if (rest < enough) return r;
  r.too_many = scan::count_up_to(field, end, delimiter, enough) >= enough;
  return r;
}

}  // namespace split
