#include "record_loop.h"

#include <string>

namespace qndl {
namespace {

constexpr std::string_view kTooManyTokens = "ERROR: Too many tokens in this line\n";

void resolve(const tmpl::Template& t, const split::FieldTable& fields, int count, ValueTable& values) {
  for (int k = 0; k < t.reference_count; ++k) {
    const int index = t.fields[k];
    values[k] = index < count ? Value(fields[index]) : std::nullopt;
  }
}

// The trial display, written piece by piece: the fields are parts of the
// record, which may be as large as memory allows, so nothing here copies them.
void show_record(const tmpl::Template& t, const split::FieldTable& fields, int count,
                 const ValueTable& values, ByteSink& console) {
  for (int k = 0; k < count; ++k) {
    const std::string label = "Col " + std::to_string(k + 1) + " {";
    console.write(label);
    console.write(fields[k]);
    console.write("}\n");
  }
  for_each_piece(t.segments, t.segment_count, t.reference_count,
                 [&](int k) { return values[k] ? *values[k] : std::string_view("X"); },
                 [&](std::string_view piece) { console.write(piece); });
  console.write("\n");
}

// The template's stored pieces (each segment in its on-disk form, the line
// end folded into the last one), copied into one string with kCopyOverrun
// spare bytes behind it. So every piece of a written line may be copied with
// copy_with_overrun: these, and the fields, which the reader guarantees
// readable bytes behind.
static_assert(RecordReader::kReadableAfterRecord >= kCopyOverrun);
struct StoredPieces {
  explicit StoredPieces(const tmpl::Template& t) : count(t.reference_count + 1) {
    for (int k = 0; k < count; ++k) text += t.stored[k];
    bytes = text.size();
    text.append(kCopyOverrun, '\0');
    std::size_t at = 0;
    for (int k = 0; k < count; ++k) {
      pieces[k] = std::string_view(text).substr(at, t.stored[k].size());
      at += t.stored[k].size();
    }
    none = std::string_view(text.data(), 0);
  }
  std::string text;
  int count;
  std::array<std::string_view, tmpl::kMaxSteps + 1> pieces{};
  std::size_t bytes;      // of all the pieces together
  std::string_view none;  // what a missing field writes: nothing
};

// Writes one output line by the pairing rule: stored piece k and the field
// reference k names (nothing when the record has no such field) for each
// reference, then the last piece. Every value is a part of the record, so
// the line is at most the stored pieces plus the record once per reference:
// room is asked for once.
void write_line(const StoredPieces& stored, const tmpl::Template& t, const split::FieldTable& fields,
                int count, std::size_t record_size, OutputBuffer& out) {
  // PERF: the fields are looked up here, as the line is copied, rather than
  // first resolved into a table of optional values.
  const auto value = [&](int k) {
    const int index = t.fields[k];
    return index < count ? fields[index] : stored.none;
  };
  const int reference_count = t.reference_count;
  const std::size_t most = stored.bytes + record_size * static_cast<std::size_t>(reference_count);
  char* to = out.room(most + kCopyOverrun);
  if (to == nullptr) {  // a line longer than the buffer, or a failed write
    for_each_piece(stored.pieces, stored.count, reference_count, value,
                   [&out](std::string_view piece) { out.append(piece); });
    return;
  }
  for_each_piece(stored.pieces, stored.count, reference_count, value,
                 [&to](std::string_view piece) {
                   copy_with_overrun(to, piece.data(), piece.size());
                   to += piece.size();
                 });
  out.commit(to);
}

}  // namespace

LoopEnd run_records(RecordReader& reader, const tmpl::Template& t, OutputBuffer* out, ByteSink& console) {
  split::FieldTable fields;
  ValueTable values;
  // A written line needs only the referenced fields; the trial lists them all.
  const int wanted = out != nullptr ? t.fields_needed : split::kMaxFields;
  const StoredPieces stored(t);
  scan::IndexedText record;
  for (;;) {
    switch (reader.next(record)) {
      case RecordReader::Status::kEnd:
        return LoopEnd::kInputDone;
      case RecordReader::Status::kReadError:
        return LoopEnd::kReadError;
      case RecordReader::Status::kLineTooLong:
        return LoopEnd::kLineTooLong;
      case RecordReader::Status::kRecord:
        break;
    }
    const split::SplitResult parts = split::split_record(record, fields, wanted);
    if (parts.too_many) {
      // With write-behind, a write of earlier lines may still be under way;
      // had it failed, the run would have stopped before this record.
      if (out != nullptr && !out->settle()) return LoopEnd::kWriteError;
      console.write(kTooManyTokens);
    }
    if (out == nullptr) {
      resolve(t, fields, parts.count, values);
      show_record(t, fields, parts.count, values, console);
      return LoopEnd::kInputDone;
    }
    write_line(stored, t, fields, parts.count, record.text.size(), *out);
    if (out->failed()) return LoopEnd::kWriteError;
  }
}

}  // namespace qndl
