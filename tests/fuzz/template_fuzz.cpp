// The template compile on any text: console lines, segments and references
// as the reference model has them, and the stored form of every segment.
#include <cstddef>
#include <cstdint>
#include <string>

#include "compile.h"
#include "fuzz_check.h"
#include "reference_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string console;
  const tmpl::CompileResult got = tmpl::compile(text, console);
  const reference::Compiled want = reference::compile(text);
  const std::string case_text = testing_support::escaped(text);

  if (console != want.console) fuzz_support::mismatch("compile console", case_text, console, want.console);
  if (got.nothing_to_write != want.nothing_to_write) {
    fuzz_support::mismatch("nothing to write", case_text, got.nothing_to_write ? "yes" : "no",
                           want.nothing_to_write ? "yes" : "no");
  }
  if (got.nothing_to_write) return 0;
  const tmpl::Template& t = got.tmpl;
  if (tmpl::describe(t) != reference::describe(want)) {
    fuzz_support::mismatch("segments and references", case_text, tmpl::describe(t), reference::describe(want));
  }

  // stored[k] is segment k with each LF as CR LF; the tail adds the line end
  // to the final segment, when there is one.
  std::string stored_line, expected_line;
  for (int k = 0; k <= t.reference_count; ++k) stored_line += t.stored[static_cast<std::size_t>(k)];
  for (const std::string& segment : want.segments) expected_line += segment;
  expected_line += '\n';
  std::string expected_stored;
  for (char c : expected_line) {
    if (c == '\n') expected_stored += '\r';
    expected_stored += c;
  }
  if (stored_line != expected_stored) fuzz_support::mismatch("stored segments", case_text, stored_line, expected_stored);

  int needed = 0;
  for (int f : want.fields) needed = f + 1 > needed ? f + 1 : needed;
  if (t.fields_needed != needed) {
    fuzz_support::mismatch("fields needed", case_text, std::to_string(t.fields_needed), std::to_string(needed));
  }
  return 0;
}
