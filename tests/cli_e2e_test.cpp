// Command line: banner, option scan, usage text, delimiter report, exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "fixtures.h"

namespace {

using testing_support::console_text;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

const std::string kDefaultReport = "INFO: Using default delimeters of {;}.delimeter is {;}\n";

// The one test that spells out the banner: every run opens with it, whatever
// its arguments, and it names the version the build sets. The other tests
// take the banner from the program.
TEST(CommandLine, BannerNamesTheVersion) {
  const std::string banner = console_text("Quindle Version " QNDL_VERSION_TEXT "\n");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"missing.txt"}, {"in.txt", "-try", "-out", "$1"}}) {
    SCOPED_TRACE(args.size());
    Workdir dir;
    dir.write("in.txt", "a;b\n");
    const auto r = run_qndl(dir, args);
    EXPECT_BYTES_EQ(r.console.substr(0, banner.size()), banner);
  }
}

// Failed tests show the usage text, create nothing and exit with 2.
TEST(CommandLine, UsageErrors) {
  testing_support::expect_fixtures_from_binary(testing_support::usage_error_fixtures());
}

// Runs that pass the tests: the delimiter report, then the compile, then the
// record loop on a one-line input.
TEST(CommandLine, AcceptedArguments) {
  testing_support::expect_fixtures_from_binary(testing_support::accepted_argument_fixtures());
}

// A wildcard pattern is a file name as typed, never a list of the files it
// matches: a.txt matches each pattern, yet the run looks for the pattern itself.
TEST(CommandLine, NoWildcardExpansion) {
  for (const char* pattern : {"*.txt", "?.txt", "a.*"}) {
    SCOPED_TRACE(pattern);
    Workdir dir;
    dir.write("a.txt", "a;b\n");
    const auto r = run_qndl(dir, {pattern, "-out", "$1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_BYTES_EQ(r.console,
                    opening(kDefaultReport, "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n") +
                        console_text(std::string("ERROR: could not open input file (") + pattern + ")\n"));
    EXPECT_FALSE(r.qndl_out.has_value());
  }
}

// Each argument arrives whole and exact: blanks, tabs, quotes and backslashes
// in the template and a blank in the file name. The template ends in $1, so
// the compile echoes everything before it as one segment.
TEST(CommandLine, ArgumentsArriveExactly) {
  for (const std::string text : {"zorvat -set ", "say \"", "a\tb ", "dir\\ ", "\\\"q\\\\\" ", " "}) {
    SCOPED_TRACE(text);
    Workdir dir;
    dir.write("my data.txt", "v;w\n");
    const auto r = run_qndl(dir, {"my data.txt", "-out", text + "$1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_BYTES_EQ(r.console,
                    opening(kDefaultReport, "DEBUG: outtext = {" + text + "},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n"));
    ASSERT_TRUE(r.qndl_out.has_value());
    EXPECT_BYTES_EQ(*r.qndl_out, text + "v\r\n");
  }
}

// A "-delim" that takes "-try" as its value leaves the trial flag unset.
TEST(CommandLine, OptionValueIsNeverAnOption) {
  Workdir dir;
  dir.write("in.txt", "x-tryy\n");
  const auto r = run_qndl(dir, {"in.txt", "-delim", "-try", "-out", "$2"});
  EXPECT_EQ(r.status, 0);
  EXPECT_BYTES_EQ(r.console, opening("INFO: delimeter is {-try}\n",
                                     "DEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {},2\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "tryy\r\n");
}

// Nothing to write ends the run before the input is looked at: a missing
// input file is not reported, and no qndl.out appears.
TEST(CommandLine, NothingToWrite) {
  Workdir dir;
  const auto r = run_qndl(dir, {"missing.txt", "-out", "$$$$$$$$$$"});
  EXPECT_EQ(r.status, 1);
  std::string lines;
  for (int i = 0; i < 9; ++i) lines += "INFO: $x found but x ($)is not a valid column number (1-9)\n";
  lines += "INFO: $x found but x ()is not a valid column number (1-9)\n";
  lines += "ERROR: No output text selected, nothing to write, so finishing!.\n";
  EXPECT_BYTES_EQ(r.console, opening(kDefaultReport, lines));
  EXPECT_FALSE(r.qndl_out.has_value());
}

#ifdef _WIN32
// The command line as cmd passes it on: "" inside a quoted template is one
// quote, and the template stays one argument, & and blanks included.
TEST(CommandLine, DoubledQuoteInsideQuotes) {
  Workdir dir;
  dir.write("people.txt", "1;Ada;Marsh\n2;Bram;Oduya\n");
  const auto r = testing_support::run_qndl_with_command_line(dir, "people.txt -out \"echo \"\"$2 & $3\"\"\"");
  EXPECT_EQ(r.status, 0);
  EXPECT_BYTES_EQ(r.console, opening(kDefaultReport,
                                     "DEBUG: outtext = {echo \"},1 qndl_ind = {1},1\n"
                                     "DEBUG: outtext = { & },2 qndl_ind = {2},2\n"
                                     "DEBUG: outtext = {\"},3\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "echo \"Ada & Marsh\"\r\necho \"Bram & Oduya\"\r\n");
}
#endif

// A Windows command line holds at most 32767 characters in all, so the long
// template there is shorter; it is still far beyond any fixed buffer.
#ifdef _WIN32
constexpr std::size_t kLongTemplateSize = 20000;
#else
constexpr std::size_t kLongTemplateSize = 100000;
#endif

// Arguments are taken whole, however long.
TEST(CommandLine, LongArguments) {
  Workdir dir;
  const std::string name(200, 'n');
  const std::string text(kLongTemplateSize, 't');
  dir.write(name, "a\n");
  const auto r = run_qndl(dir, {name, "-out", text + "$1", "-delim", std::string(5000, ',')});
  EXPECT_EQ(r.status, 0);
  EXPECT_BYTES_EQ(r.console, opening("INFO: delimeter is {" + std::string(5000, ',') + "}\n",
                                     "DEBUG: outtext = {" + text + "},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, text + "a\r\n");
}

}  // namespace
