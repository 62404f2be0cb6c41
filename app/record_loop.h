// The record loop: read, split, resolve, and write (or, in a trial run, show
// the first record).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "compile.h"
#include "output_buffer.h"
#include "record_reader.h"
#include "split.h"
#include "streams.h"

namespace qndl {

// The field each column reference names in the current record; nullopt when
// the record has fewer fields than the reference's column number.
using Value = std::optional<std::string_view>;
using ValueTable = std::array<Value, tmpl::kMaxSteps>;

// Walks an output line by the pairing rule: segment k, then value(k), the
// value of reference k, for every k below the reference count. Both the
// written line and the trial screen line are built here, so they cannot
// drift apart.
template <class Segments, class Value, class Emit>
void for_each_piece(const Segments& segments, int segment_count, int reference_count, Value&& value,
                    Emit&& emit) {
  for (int k = 0; k < segment_count; ++k) {
    emit(std::string_view(segments[k]));
    if (k < reference_count) emit(value(k));
  }
}

enum class LoopEnd { kInputDone, kReadError, kLineTooLong, kWriteError };

// Processes every record of `reader`, split at the reader's delimiter. With
// `out` it writes one line per record there; without it (a trial run) it
// shows the first record on the console and stops. Overflow messages go to
// `console` in either case.
LoopEnd run_records(RecordReader& reader, const tmpl::Template& t, OutputBuffer* out, ByteSink& console);

}  // namespace qndl
