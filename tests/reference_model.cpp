#include "reference_model.h"

#include "run.h"

namespace reference {
namespace {

constexpr int kMaxSteps = 10;    // "$" signs examined by the compile
constexpr int kMaxFields = 95;   // fields kept of one record
constexpr char kCtrlZ = '\x1a';
const std::string kOutputName = "qndl.out";
const std::string kUtf8Mark = "\xEF\xBB\xBF";

// Every occurrence of `from` in `s` replaced by `to`, left to right.
std::string replace_all(const std::string& s, const std::string& from, const std::string& to) {
  std::string out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = s.find(from, start);
    if (at == std::string::npos) break;
    out += s.substr(start, at - start) + to;
    start = at + from.size();
  }
  return out + s.substr(start);
}

// `s` cut into the pieces between the `sep` bytes: n separators give n+1 pieces.
std::vector<std::string> pieces(const std::string& s, char sep) {
  std::vector<std::string> out(1);
  for (char c : s) {
    if (c == sep) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

}  // namespace

const std::string kUsageText =
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

const std::string kTrialNotice =
    "\nOption -try selected, will process just first\n"
    "line, and printf to screen rather than output file.\n"
    "Empty columns will be replaced with the character 'X'\n\n";

std::vector<std::string> records(const std::string& file) {
  // A UTF-8 byte-order mark as the first three bytes is no data.
  const std::string body = file.starts_with(kUtf8Mark) ? file.substr(kUtf8Mark.size()) : file;
  // The text-mode reading: input ends at the first Ctrl-Z, CR LF reads as LF.
  const std::string text = replace_all(body.substr(0, body.find(kCtrlZ)), "\r\n", "\n");
  std::vector<std::string> lines = pieces(text, '\n');
  // The text after the last LF is a line only when it holds something.
  if (lines.back().empty()) lines.pop_back();
  // A CR left in a line ends its record.
  for (std::string& line : lines) line = line.substr(0, line.find('\r'));
  return lines;
}

Fields split(const std::string& record, char delimiter) {
  Fields f;
  if (record.empty()) return f;
  f.fields = pieces(record, delimiter);
  // A delimiter that ends the record starts no field.
  if (f.fields.back().empty()) f.fields.pop_back();
  // Field n+1 starts after delimiter n, so a record has a delimiter after
  // its last kept field exactly when it holds kMaxFields delimiters or more.
  std::size_t delimiters = 0;
  for (char c : record) delimiters += c == delimiter ? 1 : 0;
  f.too_many = delimiters >= static_cast<std::size_t>(kMaxFields);
  if (f.too_many) f.fields.resize(kMaxFields);
  return f;
}

Compiled compile(const std::string& text) {
  Compiled c;
  std::size_t scan = 0;
  std::size_t segment_start = 0;
  for (int step = 0; step < kMaxSteps; ++step) {
    const std::size_t dollar = text.find('$', scan);
    if (dollar == std::string::npos) {
      c.segments.push_back(text.substr(segment_start));
      c.console += "DEBUG: outtext = {" + c.segments.back() + "}," + std::to_string(c.segments.size()) + "\n";
      break;
    }
    const std::string after = text.substr(dollar + 1, 1);
    if (after.empty() || after[0] < '1' || after[0] > '9') {
      c.console += "INFO: $x found but x (" + after + ")is not a valid column number (1-9)\n";
      scan = dollar + 1;
      continue;
    }
    c.segments.push_back(text.substr(segment_start, dollar - segment_start));
    c.fields.push_back(after[0] - '1');
    scan = segment_start = dollar + 2;
    c.console += "DEBUG: outtext = {" + c.segments.back() + "}," + std::to_string(c.segments.size()) +
                 " qndl_ind = {" + std::to_string(c.fields.back()) + "}," + std::to_string(c.fields.size()) + "\n";
  }
  if (c.fields.empty()) {
    if (c.segments.empty()) {
      c.console += "ERROR: No output text selected, nothing to write, so finishing!.\n";
      c.nothing_to_write = true;
    } else {
      c.console += "INFO: Warning no output columns selected\n";
    }
  }
  return c;
}

std::string describe(const Compiled& c) {
  std::string s;
  for (std::size_t k = 0; k < c.segments.size(); ++k) {
    s += "[" + c.segments[k] + "]";
    if (k < c.fields.size()) s += "[$" + std::to_string(c.fields[k] + 1) + "]";
  }
  return s;
}

Result run(const std::vector<std::string>& args, const Files& files) {
  Result r;
  r.console = qndl::banner();  // the program's own; one end-to-end test pins its form
  if (const auto old = files.find(kOutputName); old != files.end()) r.qndl_out = old->second;

  std::string input_name, delimiter_text, template_text;
  bool trial = false;
  int names = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "-try") {
      trial = true;
    } else if (a == "-delim") {
      if (has_value) delimiter_text = args[++i];
    } else if (a == "-out") {
      if (has_value) template_text = args[++i];
    } else {
      input_name = a;
      ++names;
    }
  }
  if (input_name.empty() || names > 1) {
    r.console += std::string("ERROR: ") + (input_name.empty() ? "no input file.\n" : "incorrect syntax.\n") + kUsageText;
    r.status = 2;
    return r;
  }
  r.console += "INFO: ";
  if (delimiter_text.empty()) {
    delimiter_text = ";";
    r.console += "Using default delimeters of {;}.";
  }
  r.console += "delimeter is {" + delimiter_text + "}\n";
  const char delimiter = delimiter_text[0];

  const Compiled t = compile(template_text);
  r.console += t.console;
  r.status = 1;
  if (t.nothing_to_write) return r;

  const auto input = files.find(input_name);
  if (input == files.end()) {
    r.console += "ERROR: could not open input file (" + input_name + ")\n";
    return r;
  }
  if (input->second.starts_with("\xFF\xFE") || input->second.starts_with("\xFE\xFF")) {
    r.console += "ERROR: input file (" + input_name + ") is UTF-16 text, save it as UTF-8 first\n";
    return r;
  }
  if (trial) {
    r.console += kTrialNotice;
  } else if (input_name == kOutputName) {
    r.console += "ERROR: input file (" + input_name + ") is the output file, not overwriting it\n";
    return r;
  }

  std::string written;  // with LF line ends; stored as CR LF below
  for (const std::string& record : records(input->second)) {
    const Fields f = split(record, delimiter);
    if (f.too_many) r.console += "ERROR: Too many tokens in this line\n";
    if (trial) {
      for (std::size_t k = 0; k < f.fields.size(); ++k) {
        r.console += "Col " + std::to_string(k + 1) + " {" + f.fields[k] + "}\n";
      }
    }
    std::string line;
    for (std::size_t k = 0; k < t.segments.size(); ++k) {
      line += t.segments[k];
      if (k >= t.fields.size()) continue;
      const auto index = static_cast<std::size_t>(t.fields[k]);
      if (index < f.fields.size()) {
        line += f.fields[index];
      } else if (trial) {
        line += "X";
      }
    }
    if (trial) {
      r.console += line + "\n";
      break;
    }
    written += line + "\n";
  }
  if (!trial) r.qndl_out = replace_all(written, "\n", "\r\n");
  r.status = 0;
  return r;
}

}  // namespace reference
