#include "compile.h"

#include <algorithm>

namespace tmpl {
namespace {

// The column number of the character after a "$", read as a one-character
// decimal text: a digit gives its value, anything else (including the end of
// the template) gives 0.
int column_number(std::string_view after_dollar) {
  if (after_dollar.empty()) return 0;
  const char c = after_dollar.front();
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

void append_int(std::string& s, int v) { s += std::to_string(v); }

std::string stored_form(std::string_view segment) {
  std::string out;
  out.reserve(segment.size());
  for (char c : segment) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

CompileResult compile(std::string_view text, std::string& console) {
  CompileResult result;
  Template& t = result.tmpl;
  size_t scan = 0;           // where the search for the next "$" starts
  size_t segment_start = 0;  // start of the segment under way
  bool final_recorded = false;

  for (int step = 0; step < kMaxSteps; ++step) {
    const size_t dollar = text.find('$', scan);
    if (dollar == std::string_view::npos) {
      const std::string_view final_segment = text.substr(segment_start);
      t.segments[t.segment_count++] = final_segment;
      final_recorded = true;
      console += "DEBUG: outtext = {";
      console += final_segment;
      console += "},";
      append_int(console, t.segment_count);
      console += '\n';
      break;
    }
    scan = dollar + 1;
    const std::string_view after = text.substr(scan, 1);
    const int column = column_number(after);
    if (column < 1) {
      console += "INFO: $x found but x (";
      console += after;
      console += ")is not a valid column number (1-";
      append_int(console, kMaxColumn);
      console += ")\n";
      continue;
    }
    const std::string_view segment = text.substr(segment_start, dollar - segment_start);
    t.segments[t.segment_count++] = segment;
    scan += 1;  // past the digit
    segment_start = scan;
    t.fields[t.reference_count++] = column - 1;
    console += "DEBUG: outtext = {";
    console += segment;
    console += "},";
    append_int(console, t.segment_count);
    console += " qndl_ind = {";
    append_int(console, column - 1);
    console += "},";
    append_int(console, t.reference_count);
    console += '\n';
  }

  if (t.reference_count == 0) {
    if (t.segment_count == 0) {
      console += "ERROR: No output text selected, nothing to write, so finishing!.\n";
      result.nothing_to_write = true;
      return result;
    }
    console += "INFO: Warning no output columns selected\n";
  }

  for (int k = 0; k < t.reference_count; ++k) {
    t.stored[k] = stored_form(t.segments[k]);
    t.fields_needed = std::max(t.fields_needed, t.fields[k] + 1);
  }
  std::string& tail = t.stored[t.reference_count];
  if (final_recorded) tail = stored_form(t.segments[t.segment_count - 1]);
  tail += kStoredLineEnd;
  return result;
}

std::string describe(const Template& t) {
  std::string s;
  for (int k = 0; k < t.segment_count; ++k) {
    s += '[';
    s += t.segments[k];
    s += ']';
    if (k < t.reference_count) {
      s += "[$";
      append_int(s, t.fields[k] + 1);
      s += ']';
    }
  }
  return s;
}

}  // namespace tmpl
