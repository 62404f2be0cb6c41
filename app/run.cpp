#include "run.h"

#include <string>
#include <vector>

#include "compile.h"
#include "options.h"
#include "record_loop.h"
#include "sysio.h"

#ifndef QNDL_VERSION_TEXT
#error "QNDL_VERSION_TEXT must be defined by the build"
#endif

namespace qndl {
namespace {

constexpr std::string_view kBanner = "Quindle Version " QNDL_VERSION_TEXT "\n";
constexpr std::string_view kOutputFileName = "qndl.out";
constexpr std::string_view kDefaultDelimiter = ";";

constexpr std::string_view kUsageText =
    "\nUseage: \n"
    "Quindle allows you take data from specific columns\n"
    "in each line of an input file and write it out to a\n"
    "file (qndl.out) in a specified format.\n\n"
    "       qndl filename <-try> -delim \";\" -out \"zorvat -set $4 $5\"\n\n"
    "       Where $4 indicates the 4th column.\n"
    "       Columns are delimeted by the single character\n"
    "       given with the -delim option.\n"
    "       Use the -try option to test your parameters (no\n"
    "       output file will be created).\n\n";

constexpr std::string_view kTrialNotice =
    "\nOption -try selected, will process just first\n"
    "line, and printf to screen rather than output file.\n"
    "Empty columns will be replaced with the character 'X'\n\n";

// "ERROR: " + before + name + after, for the messages that name a file (or
// quote an argument).
void report_file_error(ByteSink& console, std::string_view before, std::string_view name,
                       std::string_view after = ")\n") {
  std::string line = "ERROR: ";
  line += before;
  line += name;
  line += after;
  console.write(line);
}

void report_delimiter(ByteSink& console, std::string_view given) {
  std::string line = "INFO: ";
  std::string_view delimiter = given;
  if (delimiter.empty()) {
    delimiter = kDefaultDelimiter;
    line += "Using default delimeters of {";
    line += kDefaultDelimiter;
    line += "}.";
  }
  line += "delimeter is {";
  line += delimiter;
  line += "}\n";
  console.write(line);
}

Outcome usage_error(ByteSink& console, std::string_view error) {
  std::string text = "ERROR: ";
  text += error;
  text += kUsageText;
  console.write(text);
  return Outcome::kUsageError;
}

// Reports an end of the records that the input caused; false for the
// others.
bool report_input_end(ByteSink& console, LoopEnd end, std::string_view input_name) {
  switch (end) {
    case LoopEnd::kReadError:
      report_file_error(console, "could not read input file (", input_name);
      return true;
    case LoopEnd::kLineTooLong:
      report_file_error(console, "could not hold a line of input file (", input_name, ") in memory\n");
      return true;
    case LoopEnd::kInputDone:
    case LoopEnd::kWriteError:
      break;
  }
  return false;
}

// The byte-order marks of UTF-16 text, little- and big-endian. Such a file
// would split into fields interleaved with zero bytes; no run over it can
// give what its user meant.
bool is_utf16(std::string_view start) { return start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF"); }

// The record loop over an open input file: creates the output (or prints the
// trial notice), processes the records and closes what it opened.
Outcome process_file(const Settings& s, sysio::Handle input, const tmpl::Template& t,
                     ByteSink& console, const Tuning& tuning) {
  const char delimiter = s.delimiter.empty() ? kDefaultDelimiter.front() : s.delimiter.front();
  FileSource source(input);
  RecordReader reader(source, delimiter, tuning.read_block, tuning.read_buffer_limit);
  // The input is read and judged before anything is created or shown: an
  // input that cannot be used leaves an earlier qndl.out as it was.
  if (!reader.start()) {
    sysio::close(input);
    report_file_error(console, "could not read input file (", s.input_name);
    return Outcome::kFailure;
  }
  if (is_utf16(reader.signature())) {
    sysio::close(input);
    report_file_error(console, "input file (", s.input_name, ") is UTF-16 text, save it as UTF-8 first\n");
    return Outcome::kFailure;
  }

  if (s.trial) {
    console.write(kTrialNotice);
    const LoopEnd end = run_records(reader, t, nullptr, console);
    sysio::close(input);
    return report_input_end(console, end, s.input_name) ? Outcome::kFailure : Outcome::kSuccess;
  }

  // Creating the output empties it; never do that to the file being read.
  if (sysio::is_same_file(input, std::string(kOutputFileName))) {
    sysio::close(input);
    report_file_error(console, "input file (", s.input_name, ") is the output file, not overwriting it\n");
    return Outcome::kFailure;
  }
  const sysio::Handle output = sysio::create_output(std::string(kOutputFileName));
  if (output == sysio::kNoHandle) {
    sysio::close(input);
    report_file_error(console, "could not create output file (", kOutputFileName);
    return Outcome::kFailure;
  }

  FileSink sink(output);
  OutputBuffer out(sink, tuning.output_buffer, /*write_behind=*/true);
  const LoopEnd end = run_records(reader, t, &out, console);
  sysio::close(input);
  const bool flushed = out.flush();
  const bool closed = sysio::close(output);
  if (report_input_end(console, end, s.input_name)) return Outcome::kFailure;
  if (!flushed || !closed) {
    report_file_error(console, "could not write output file (", kOutputFileName);
    return Outcome::kFailure;
  }
  return Outcome::kSuccess;
}

}  // namespace

std::string_view banner() { return kBanner; }

Outcome run(std::span<const sysio::Argument> args, ByteSink& console, const Tuning& tuning) {
  console.write(kBanner);
  std::vector<std::string_view> texts;
  for (const sysio::Argument& a : args) texts.push_back(a.text);
  const Settings s = scan_options(texts);
  // The delimiter and the template are used as code-page bytes: one that has
  // a character the code page lacks would split or write something else.
  for (const std::size_t i : {s.delimiter_index, s.template_index}) {
    if (i != Settings::kNotGiven && !args[i].representable) {
      report_file_error(console, "argument (", args[i].text,
                        ") has characters that the system code page cannot represent\n");
      return Outcome::kFailure;
    }
  }
  switch (check_settings(s)) {
    case Usage::kNoInputFile:
      return usage_error(console, "no input file.\n");
    case Usage::kIncorrectSyntax:
      return usage_error(console, "incorrect syntax.\n");
    case Usage::kOk:
      break;
  }
  report_delimiter(console, s.delimiter);

  std::string compile_log;
  const tmpl::CompileResult compiled = tmpl::compile(s.template_text, compile_log);
  console.write(compile_log);
  if (compiled.nothing_to_write) return Outcome::kFailure;

  const sysio::Handle input = sysio::open_input(args[s.input_index].name);
  if (input == sysio::kNoHandle) {
    report_file_error(console, "could not open input file (", s.input_name);
    return Outcome::kFailure;
  }
  return process_file(s, input, compiled.tmpl, console, tuning);
}

int exit_status(Outcome o) {
  switch (o) {
    case Outcome::kSuccess:
      return 0;
    case Outcome::kUsageError:
      return 2;
    case Outcome::kFailure:
      break;
  }
  return 1;
}

}  // namespace qndl
