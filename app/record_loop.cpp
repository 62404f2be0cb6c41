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

void show_record(const tmpl::Template& t, const split::FieldTable& fields, int count,
                 const ValueTable& values, ByteSink& console) {
  std::string text;
  for (int k = 0; k < count; ++k) {
    text += "Col ";
    text += std::to_string(k + 1);
    text += " {";
    text += fields[k];
    text += "}\n";
  }
  for_each_piece(t.segments, t.segment_count, values, t.reference_count, "X",
                 [&](std::string_view piece) { text += piece; });
  text += '\n';
  console.write(text);
}

// Writes one output line by the pairing rule. stored[] already holds each
// segment in its on-disk form, the line end folded into the last piece, so a
// line is stored[k] and value k for each reference, then that last piece.
// Every value is a part of the record, so the line is at most the stored
// pieces plus the record once per reference: room is asked for once.
void write_line(const tmpl::Template& t, std::size_t stored_bytes, std::size_t record_size,
                const ValueTable& values, OutputBuffer& out) {
  const std::size_t most = stored_bytes + record_size * static_cast<std::size_t>(t.reference_count);
  const int pieces = t.reference_count + 1;
  char* to = out.room(most);
  if (to == nullptr) {  // a line longer than the buffer, or a failed write
    for_each_piece(t.stored, pieces, values, t.reference_count, std::string_view(),
                   [&out](std::string_view piece) { out.append(piece); });
    return;
  }
  for_each_piece(t.stored, pieces, values, t.reference_count, std::string_view(),
                 [&to](std::string_view piece) {
                   copy_bytes(to, piece.data(), piece.size());
                   to += piece.size();
                 });
  out.commit(to);
}

}  // namespace

LoopEnd run_records(RecordReader& reader, const tmpl::Template& t, char delimiter, OutputBuffer* out,
                    ByteSink& console) {
  split::FieldTable fields;
  ValueTable values;
  // A written line needs only the referenced fields; the trial lists them all.
  const int wanted = out != nullptr ? t.fields_needed : split::kMaxFields;
  std::size_t stored_bytes = 0;
  for (int k = 0; k <= t.reference_count; ++k) stored_bytes += t.stored[k].size();
  std::string_view record;
  for (;;) {
    switch (reader.next(record)) {
      case RecordReader::Status::kEnd:
        return LoopEnd::kInputDone;
      case RecordReader::Status::kReadError:
        return LoopEnd::kReadError;
      case RecordReader::Status::kRecord:
        break;
    }
    const split::SplitResult parts = split::split_record(record, delimiter, fields, wanted);
    if (parts.too_many) console.write(kTooManyTokens);
    resolve(t, fields, parts.count, values);
    if (out == nullptr) {
      show_record(t, fields, parts.count, values, console);
      return LoopEnd::kInputDone;
    }
    write_line(t, stored_bytes, record.size(), values, *out);
    if (out->failed()) return LoopEnd::kWriteError;
  }
}

}  // namespace qndl
