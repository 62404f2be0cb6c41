// Field splitter: cuts one record into fields at its delimiter bytes, taken
// from the record's delimiter masks (scan.h).
#pragma once

#include <array>
#include <string_view>

#include "scan.h"

namespace split {

// Size of the field table handed to the splitter.
inline constexpr int kFieldCapacity = 100;
// The splitter keeps this many fewer fields than the table holds.
inline constexpr int kCapacityMargin = 5;
// A record keeps at most this many fields (95); the rest is dropped.
inline constexpr int kMaxFields = kFieldCapacity - kCapacityMargin;

using FieldTable = std::array<std::string_view, kFieldCapacity>;

struct SplitResult {
  // Fields stored in the table: the record's field count, capped at
  // kMaxFields, or `wanted` when the record has more fields than that.
  int count = 0;
  // The record has a delimiter after its 95th field: fields from the 96th on
  // were dropped. Decided over the whole record whatever `wanted` is.
  bool too_many = false;
};

// Splits `record` (no line end in it) at every byte its delimiter masks mark
// into views stored in `fields`. A field starts at the record's start or
// after a delimiter; a delimiter that ends the record starts no field, so an
// empty record has none. Only the first `wanted` fields are located (at most
// kMaxFields); a caller that needs every field passes kMaxFields.
SplitResult split_record(const scan::IndexedText& record, FieldTable& fields, int wanted = kMaxFields);

}  // namespace split
