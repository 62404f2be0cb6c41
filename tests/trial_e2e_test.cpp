// The trial run: the first record shown on the console, no output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

using testing_support::console_text;
using testing_support::numbered_fields;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

const std::string kNotice =
    "\nOption -try selected, will process just first\n"
    "line, and printf to screen rather than output file.\n"
    "Empty columns will be replaced with the character 'X'\n\n";
const std::string kReport = "INFO: Using default delimeters of {;}.delimeter is {;}\n";
const std::string kZorvat =
    "DEBUG: outtext = {zorvat -set },1 qndl_ind = {3},1\n"
    "DEBUG: outtext = { },2 qndl_ind = {4},2\n"
    "DEBUG: outtext = {},3\n";

std::string listing(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += "Col " + std::to_string(i) + " {" + std::to_string(i) + "}\n";
  return s;
}

TEST(TrialRun, FirstRecordDisplay) {
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
      {"all fields", "a;b;c;d;e\r\nz\n", "zorvat -set $4 $5", kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nCol 4 {d}\nCol 5 {e}\nzorvat -set d e\n"},
      {"missing fields shown as X", "a;b;c\n", "zorvat -set $4 $5", kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nzorvat -set X X\n"},
      {"an empty field shows as nothing", "a;b;c;;e\n", "zorvat -set $4 $5", kZorvat,
       "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nCol 4 {}\nCol 5 {e}\nzorvat -set  e\n"},
      {"empty first line", "\r\na;b;c;d;e\r\n", "zorvat -set $4 $5", kZorvat, "zorvat -set X X\n"},
      {"empty input", "", "zorvat -set $4 $5", kZorvat, ""},
      {"no delimiter in the line", "whole line here\n", "zorvat -set $4 $5", kZorvat,
       "Col 1 {whole line here}\nzorvat -set X X\n"},
      {"trailing delimiter", "a;b;\n", "zorvat -set $4 $5", kZorvat, "Col 1 {a}\nCol 2 {b}\nzorvat -set X X\n"},
      {"ten references and a tail", "a;b;c\n", ten_refs, ten_compile, "Col 1 {a}\nCol 2 {b}\nCol 3 {c}\nabcXXXXXXa\n"},
      {"no template", "a;b\n", "", "DEBUG: outtext = {},1\nINFO: Warning no output columns selected\n",
       "Col 1 {a}\nCol 2 {b}\n\n"},
      {"only the first of many lines", "1;2;3;4;5\n" + numbered_fields(200) + "\n", "zorvat -set $4 $5", kZorvat,
       listing(5) + "zorvat -set 4 5\n"},
      {"too many fields in the first line", numbered_fields(97) + "\n", "zorvat -set $4 $5", kZorvat,
       "ERROR: Too many tokens in this line\n" + listing(95) + "zorvat -set 4 5\n"},
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workdir dir;
    dir.write("in.txt", c.input);
    const auto r = run_qndl(dir, {"-try", "in.txt", "-out", c.out, "-try"});
    EXPECT_EQ(r.status, 0);
    EXPECT_BYTES_EQ(r.console, opening(kReport, c.compile) + console_text(kNotice + c.display));
    EXPECT_FALSE(r.qndl_out.has_value());
  }
}

// A trial run never touches an existing qndl.out, even as its own input.
TEST(TrialRun, LeavesOutputFileAlone) {
  for (const char* input : {"in.txt", "qndl.out"}) {
    SCOPED_TRACE(input);
    Workdir dir;
    const std::string before = "old;line\r\n";
    dir.write("qndl.out", before);
    dir.write("in.txt", "a;b\n");
    const auto r = run_qndl(dir, {input, "-try", "-out", "$2"});
    EXPECT_EQ(r.status, 0);
    ASSERT_TRUE(r.qndl_out.has_value());
    EXPECT_BYTES_EQ(*r.qndl_out, before);
  }
}

#ifndef _WIN32
// Whatever qndl.out is, a trial run does not look at it.
TEST(TrialRun, OutputFileIsNeverOpened) {
  const struct {
    const char* name;
    void (*make)(const std::filesystem::path& dir);
  } cases[] = {
      {"a directory", [](const std::filesystem::path& d) { std::filesystem::create_directory(d / "qndl.out"); }},
      {"a dangling link", [](const std::filesystem::path& d) { std::filesystem::create_symlink("gone", d / "qndl.out"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workdir dir;
    dir.write("in.txt", "a;b\n");
    c.make(dir.path());
    const auto r = run_qndl(dir, {"in.txt", "-try", "-out", "$2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_BYTES_EQ(r.console, opening(kReport, "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n") +
                                   console_text(kNotice + "Col 1 {a}\nCol 2 {b}\nb\n"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "gone"));
  }
}

// The trial's whole product is console text: losing it is a failure.
TEST(TrialRun, ConsoleFailureIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  Workdir dir;
  dir.write("in.txt", "a;b\n");
  const auto r = run_qndl(dir, {"in.txt", "-try"}, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.qndl_out.has_value());
}
#endif

TEST(TrialRun, MissingInputPrintsNoNotice) {
  Workdir dir;
  const auto r = run_qndl(dir, {"nope.txt", "-try", "-out", "zorvat -set $4 $5"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console, opening(kReport, kZorvat) + console_text("ERROR: could not open input file (nope.txt)\n"));
  EXPECT_FALSE(r.qndl_out.has_value());
}

}  // namespace
