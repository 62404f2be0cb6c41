#include "fixtures.h"

#include <gtest/gtest.h>

#include "reference_model.h"
#include "run.h"

namespace testing_support {
namespace {

const std::string kBanner(qndl::banner());
const std::string kReport = "INFO: delimeter is {;}\n";
const std::string kDefaultReport = "INFO: Using default delimeters of {;}.delimeter is {;}\n";
const std::string kZorvatTemplate = "zorvat -set $4 $5";
const std::string kZorvat =
    "DEBUG: outtext = {zorvat -set },1 qndl_ind = {3},1\n"
    "DEBUG: outtext = { },2 qndl_ind = {4},2\n"
    "DEBUG: outtext = {},3\n";
const std::string kTooMany = "ERROR: Too many tokens in this line\n";
const std::string kEmptyTemplate = "DEBUG: outtext = {},1\nINFO: Warning no output columns selected\n";
using reference::kTrialNotice;
using reference::kUsageText;

// "Col 1 {1}" and so on: the listing of numbered_fields(n).
std::string listing(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "Col " + std::to_string(i) + " {" + std::to_string(i) + "}\n";
  return s;
}

std::string args_trace(const std::vector<std::string>& args) {
  std::string trace = "args: ";
  for (const auto& a : args) trace += "[" + a + "]";
  return trace;
}

}  // namespace

std::vector<Fixture> zorvat_fixtures() {
  const std::string long_field(5000, 'L');
  const struct {
    const char* name;
    std::string input;
    std::string qndl_out;
    std::string messages;  // console text after the compile lines
  } cases[] = {
      {"record table, CR LF and LF",
       "a;b;c;d;e\r\na;b;c;d\r\na;b;c\n\na;b;c;;e\na;b;c;d;e\rf;g\n",
       "zorvat -set d e\r\nzorvat -set d \r\nzorvat -set  \r\nzorvat -set  \r\nzorvat -set  e\r\n"
       "zorvat -set d e\r\n",
       ""},
      {"empty input", "", "", ""},
      {"empty lines are records", "\n\r\n\n", "zorvat -set  \r\nzorvat -set  \r\nzorvat -set  \r\n", ""},
      {"last line without line end", "1;2;3;4;5\n6;7;8;9;10", "zorvat -set 4 5\r\nzorvat -set 9 10\r\n", ""},
      {"lone CR cuts its line", "1;2;3;4\r;5\n", "zorvat -set 4 \r\n", ""},
      {"Ctrl-Z in a line ends the input", "1;2;3;4;5\n6;7;8;9\x1a;10\n11;12;13;14;15\n",
       "zorvat -set 4 5\r\nzorvat -set 9 \r\n", ""},
      {"Ctrl-Z after the last line adds nothing", "1;2;3;4;5\r\n\x1a", "zorvat -set 4 5\r\n", ""},
      {"a long line is one record", "1;2;3;" + long_field + ";5\n;;;x;y\n",
       "zorvat -set " + long_field + " 5\r\nzorvat -set x y\r\n", ""},
      {"zero byte is an ordinary byte", std::string("1;2;3;a\0b;\0\n", 12),
       std::string("zorvat -set a\0b \0\r\n", 19), ""},
      {"8-bit bytes pass unchanged", "\xe4;\xf6;\xfc;\xdf;\xff\n", "zorvat -set \xdf \xff\r\n", ""},
      {"percent and braces verbatim", "%s;%d;{};%n;{%s}\n", "zorvat -set %n {%s}\r\n", ""},
      {"95 fields: no message", numbered_fields(95) + "\n", "zorvat -set 4 5\r\n", ""},
      {"96 fields: one message, line still written", numbered_fields(96) + "\n" + numbered_fields(200) + ";\n1;2;3;4;5\n",
       "zorvat -set 4 5\r\nzorvat -set 4 5\r\nzorvat -set 4 5\r\n", kTooMany + kTooMany},
      {"95 fields and a trailing delimiter", numbered_fields(95) + ";\n", "zorvat -set 4 5\r\n", kTooMany},
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    out.push_back({c.name, {"in.txt", "-delim", ";", "-out", kZorvatTemplate}, {{"in.txt", c.input}}, 0,
                   kBanner + kReport + kZorvat + c.messages, c.qndl_out});
  }
  return out;
}

std::vector<Fixture> template_shape_fixtures() {
  const struct {
    std::string out;
    std::string qndl_out;
  } cases[] = {
      {"hello", "hello\r\nhello\r\n"},
      {"", "\r\n\r\n"},
      {"$1%s{}$9", "a%s{}\r\nd%s{}\r\n"},
      {"line one\nline two $2", "line one\r\nline two b\r\nline one\r\nline two \r\n"},
      {"$10 $$1", "a0 $a\r\nd0 $d\r\n"},
      {"$1$2$3$4$5$6$7$8$9$1 tail", "abca\r\ndd\r\n"},
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    out.push_back({"template: " + c.out, {"in.txt", "-out", c.out}, {{"in.txt", "a;b;c\r\nd\r\n"}}, 0, std::nullopt,
                   c.qndl_out});
  }
  return out;
}

std::vector<Fixture> trial_fixtures() {
  const std::string ten_refs = "$1$2$3$4$5$6$7$8$9$1;end";
  std::string ten_compile;
  for (int i = 1; i <= 9; ++i) {
    ten_compile += "DEBUG: outtext = {},";
    ten_compile += std::to_string(i) + " qndl_ind = {" + std::to_string(i - 1) + "}," + std::to_string(i) + "\n";
  }
  ten_compile += "DEBUG: outtext = {},10 qndl_ind = {0},10\n";
  const std::string long_line(5000, 'w');

  const struct {
    const char* name;
    std::string input;
    std::string out;
    std::string compile;
    std::string display;  // console text after the trial notice
  } cases[] = {
      {"all fields", "a;b;c;d;e\r\nz\n", kZorvatTemplate, kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nCol 4 {d}\nCol 5 {e}\nzorvat -set d e\n"},
      {"missing fields shown as X", "a;b;c\n", kZorvatTemplate, kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nzorvat -set X X\n"},
      {"an empty field shows as nothing", "a;b;c;;e\n", kZorvatTemplate, kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nCol 4 {}\nCol 5 {e}\nzorvat -set  e\n"},
      {"empty first line", "\r\na;b;c;d;e\r\n", kZorvatTemplate, kZorvat, "zorvat -set X X\n"},
      {"empty input", "", kZorvatTemplate, kZorvat, ""},
      {"no delimiter in the line", "whole line here\n", kZorvatTemplate, kZorvat,
       "Col 1 {whole line here}\nzorvat -set X X\n"},
      {"trailing delimiter", "a;b;\n", kZorvatTemplate, kZorvat, "Col 1 {a}\nCol 2 {b}\nzorvat -set X X\n"},
      {"ten references and a tail", "a;b;c\n", ten_refs, ten_compile, "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nabcXXXXXXa\n"},
      {"no template", "a;b\n", "", kEmptyTemplate, "Col 1 {a}\nCol 2 {b}\n\n"},
      {"only the first of many lines", "1;2;3;4;5\n" + numbered_fields(200) + "\n", kZorvatTemplate, kZorvat,
       listing(5) + "zorvat -set 4 5\n"},
      {"too many fields in the first line", numbered_fields(97) + "\n", kZorvatTemplate, kZorvat,
       kTooMany + listing(95) + "zorvat -set 4 5\n"},
      {"percent and braces verbatim", "%s;{%d}\n", "%n$2{}",
       "DEBUG: outtext = {%n},1 qndl_ind = {1},1\nDEBUG: outtext = {{}},2\n",
       "Col 1 {%s}\nCol 2 {{%d}}\n%n{%d}{}\n"},
      {"a long first line whole", long_line + ";x\n", "$2", "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n",
       "Col 1 {" + long_line + "}\nCol 2 {x}\nx\n"},
      {"a CR cuts the first line", "a;b\rc;d\r\ne;f\n", "$2", "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n",
       "Col 1 {a}\nCol 2 {b}\nb\n"},
      {"a Ctrl-Z ends the first line", "a;b\x1a;c\n", "$3", "DEBUG: outtext = {},1 qndl_ind = {2},1\nDEBUG: outtext = {},2\n",
       "Col 1 {a}\nCol 2 {b}\nX\n"},
      {"a zero byte in a field", std::string("a\0b\n", 4), "<$1>", "DEBUG: outtext = {<},1 qndl_ind = {0},1\nDEBUG: outtext = {>},2\n",
       std::string("Col 1 {a\0b}\n<a\0b>\n", 18)},
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    out.push_back({c.name, {"-try", "in.txt", "-out", c.out, "-try"}, {{"in.txt", c.input}}, 0,
                   kBanner + kDefaultReport + c.compile + kTrialNotice + c.display, std::nullopt});
  }
  return out;
}

std::vector<Fixture> input_start_fixtures() {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string old_output = "old;output\r\n";
  const std::string compile = "DEBUG: outtext = {[},1 qndl_ind = {0},1\nDEBUG: outtext = {|},2 qndl_ind = {1},2\n"
                              "DEBUG: outtext = {]},3\n";
  const std::string utf16 = "ERROR: input file (in.txt) is UTF-16 text, save it as UTF-8 first\n";
  const struct {
    const char* name;
    std::string input;
    std::optional<std::string> qndl_out;  // nullopt: refused, the old qndl.out stays
    std::string trial_display;            // console text after the compile in a trial run
  } cases[] = {
      {"UTF-8 mark at the start is no data", mark + "a;b\r\nc;d\r\n", "[a|b]\r\n[c|d]\r\n",
       kTrialNotice + "Col 1 {a}\nCol 2 {b}\n[a|b]\n"},
      {"UTF-8 mark alone", mark, "", kTrialNotice},
      {"UTF-8 mark, then an empty line", mark + "\r\nx\n", "[|]\r\n[x|]\r\n", kTrialNotice + "[X|X]\n"},
      {"UTF-8 mark, then Ctrl-Z", mark + "\x1a" "a\n", "", kTrialNotice},
      {"a second mark is data", mark + mark + "a\n", "[" + mark + "a|]\r\n",
       kTrialNotice + "Col 1 {" + mark + "a}\n[" + mark + "a|X]\n"},
      {"a mark on a later line is data", "a\n" + mark + "b;c\n", "[a|]\r\n[" + mark + "b|c]\r\n",
       kTrialNotice + "Col 1 {a}\n[a|X]\n"},
      {"an incomplete mark is data", "\xEF\xBB;b\n", "[\xEF\xBB|b]\r\n",
       kTrialNotice + "Col 1 {\xEF\xBB}\nCol 2 {b}\n[\xEF\xBB|b]\n"},
      {"an incomplete mark ends the input", "\xEF\xBB", "[\xEF\xBB|]\r\n",
       kTrialNotice + "Col 1 {\xEF\xBB}\n[\xEF\xBB|X]\n"},
      {"UTF-16 little-endian is refused", std::string("\xFF\xFE" "a\0;\0b\0\r\0\n\0", 12), std::nullopt, utf16},
      {"UTF-16 big-endian is refused", std::string("\xFE\xFF\0a\0;\0b", 8), std::nullopt, utf16},
      {"a UTF-16 mark alone is refused", "\xFF\xFE", std::nullopt, utf16},
      {"a single FF byte is data", "\xFF", "[\xFF|]\r\n", kTrialNotice + "Col 1 {\xFF}\n[\xFF|X]\n"},
      {"FF FF is data", "\xFF\xFF;x\n", "[\xFF\xFF|x]\r\n", kTrialNotice + "Col 1 {\xFF\xFF}\nCol 2 {x}\n[\xFF\xFF|x]\n"},
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    const std::map<std::string, std::string> files = {{"in.txt", c.input}, {"qndl.out", old_output}};
    const std::string start = kBanner + kDefaultReport + compile;
    out.push_back({std::string(c.name), {"in.txt", "-out", "[$1|$2]"}, files, c.qndl_out ? 0 : 1,
                   start + (c.qndl_out ? "" : utf16), c.qndl_out ? *c.qndl_out : old_output});
    out.push_back({std::string(c.name) + ", trial run", {"in.txt", "-try", "-out", "[$1|$2]"}, files,
                   c.qndl_out ? 0 : 1, start + c.trial_display, old_output});
  }
  return out;
}

std::vector<Fixture> usage_error_fixtures() {
  const std::string no_input = kBanner + "ERROR: no input file.\n" + kUsageText;
  const std::string syntax = kBanner + "ERROR: incorrect syntax.\n" + kUsageText;
  const struct {
    std::vector<std::string> args;
    std::string console;
  } cases[] = {
      {{}, no_input},
      {{"-try"}, no_input},
      {{"-delim", ",", "-out", "$1"}, no_input},
      {{"a.txt", "b.txt"}, syntax},
      {{"in.txt", ""}, no_input},
      {{"", "in.txt"}, syntax},
      {{"in.txt", "-x"}, syntax},
      {{"in.txt", "-out", "$1", "other.txt", ""}, no_input},
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    out.push_back({args_trace(c.args), c.args, {{"in.txt", "a;b\n"}}, 2, c.console, std::nullopt});
  }
  return out;
}

// The input file name is whatever argument was left over, so files are named
// after options where that is the point.
// Files named after the arguments that are taken as the file name.
#ifdef _WIN32
const char* const kNamedAfterArguments[] = {"in.txt", "-x", "-TRY"};
#else
const char* const kNamedAfterArguments[] = {"in.txt", "-x", "-TRY", "*.txt"};
#endif

std::vector<Fixture> accepted_argument_fixtures() {
  const struct {
    std::vector<std::string> args;
    std::string report;
    std::string compile;
    std::string qndl_out;
  } cases[] = {
      {{"in.txt"}, kDefaultReport, kEmptyTemplate, "\r\n"},
      {{"in.txt", "-delim"}, kDefaultReport, kEmptyTemplate, "\r\n"},
      {{"-delim", "", "in.txt"}, kDefaultReport, kEmptyTemplate, "\r\n"},
      {{"in.txt", "-out"}, kDefaultReport, kEmptyTemplate, "\r\n"},
      {{"in.txt", "-delim", ","}, "INFO: delimeter is {,}\n", kEmptyTemplate, "\r\n"},
      {{"in.txt", "-delim", "%s{}%d"}, "INFO: delimeter is {%s{}%d}\n", kEmptyTemplate, "\r\n"},
      {{"-delim", ",", "-delim", "b", "-out", "[$1]", "in.txt"},
       "INFO: delimeter is {b}\n",
       "DEBUG: outtext = {[},1 qndl_ind = {0},1\nDEBUG: outtext = {]},2\n", "[a,]\r\n"},
      {{"-out", "$2", "-out", "$1", "in.txt"}, kDefaultReport,
       "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n", "a,b\r\n"},
      {{"in.txt", "-delim", "ab", "-out", "$2"}, "INFO: delimeter is {ab}\n",
       "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n", ",b;c\r\n"},
      {{"-x"}, kDefaultReport, kEmptyTemplate, "\r\n"},
      {{"-TRY"}, kDefaultReport, kEmptyTemplate, "\r\n"},
#ifndef _WIN32
      // Windows file names cannot hold "*"; NoWildcardExpansion covers it there.
      {{"*.txt"}, kDefaultReport, kEmptyTemplate, "\r\n"},
#endif
  };
  std::vector<Fixture> out;
  for (const auto& c : cases) {
    Fixture f{args_trace(c.args), c.args, {}, 0, kBanner + c.report + c.compile, c.qndl_out};
    for (const char* name : kNamedAfterArguments) f.files[name] = "a,b;c\n";
    out.push_back(f);
  }
  return out;
}

std::vector<Fixture> all_fixtures() {
  std::vector<Fixture> all;
  for (auto table : {zorvat_fixtures, template_shape_fixtures, trial_fixtures, input_start_fixtures,
                     usage_error_fixtures, accepted_argument_fixtures}) {
    for (Fixture& f : table()) all.push_back(std::move(f));
  }
  return all;
}

void write_files(const Workdir& dir, const Fixture& f) {
  for (const auto& [name, bytes] : f.files) dir.write(name, bytes);
}

void expect_fixture(const Fixture& f, const RunResult& r, std::string (*console_form)(std::string_view)) {
  EXPECT_EQ(r.status, f.status);
  if (f.console) {
    EXPECT_BYTES_EQ(r.console, console_form(*f.console));
  }
  EXPECT_EQ(r.qndl_out.has_value(), f.qndl_out.has_value());
  if (r.qndl_out && f.qndl_out) {
    EXPECT_BYTES_EQ(*r.qndl_out, *f.qndl_out);
  }
}

}  // namespace testing_support
