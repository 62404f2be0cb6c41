// Output template compile: turns the "-out" text into literal segments and
// column references ($1..$9), once per run.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tmpl {

// Every "$" examined uses one step, valid or not; the compile stops after this many.
inline constexpr int kMaxSteps = 10;
// A column reference is "$" and one digit; only fields 1..9 can be named.
inline constexpr int kMaxColumn = 9;

// The line end of every line in the output file.
inline constexpr std::string_view kStoredLineEnd = "\r\n";

struct Template {
  // Literal text in template order; segment k stands before reference k.
  // Views into the template text given to compile(), which must outlive this.
  std::array<std::string_view, kMaxSteps> segments{};
  int segment_count = 0;
  // Zero-based field index of each column reference, in template order.
  std::array<int, kMaxSteps> fields{};
  int reference_count = 0;

  // The segments as they are stored in the output file (each LF as CR LF).
  // stored[k] for k < reference_count precedes value k; stored[reference_count]
  // is the tail of every line: the final segment, if the compile recorded one,
  // followed by the stored line end.
  std::array<std::string, kMaxSteps + 1> stored{};
  // One more than the highest field index referenced; 0 without references.
  int fields_needed = 0;
};

struct CompileResult {
  Template tmpl;
  // The template yields neither a segment nor a reference: the run ends.
  bool nothing_to_write = false;
};

// Compiles `text`, appending the console lines it produces to `console`.
CompileResult compile(std::string_view text, std::string& console);

// Readable one-line form for tests and diagnostics: "[seg][$4][seg]...".
std::string describe(const Template& t);

}  // namespace tmpl
