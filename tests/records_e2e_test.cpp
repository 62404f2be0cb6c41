// The record loop: input bytes to exact qndl.out bytes, console and status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "process.h"

namespace {

using testing_support::console_text;
using testing_support::numbered_fields;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

const std::string kReport = "INFO: delimeter is {;}\n";
const std::string kZorvat =
    "DEBUG: outtext = {zorvat -set },1 qndl_ind = {3},1\n"
    "DEBUG: outtext = { },2 qndl_ind = {4},2\n"
    "DEBUG: outtext = {},3\n";
const std::string kTooMany = "ERROR: Too many tokens in this line\n";

// With -delim ";" -out "zorvat -set $4 $5".
TEST(RecordLoop, ZorvatFixtures) {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workdir dir;
    dir.write("in.txt", c.input);
    const auto r = run_qndl(dir, {"in.txt", "-delim", ";", "-out", "zorvat -set $4 $5"});
    EXPECT_EQ(r.status, 0);
    EXPECT_BYTES_EQ(r.console, opening(kReport, kZorvat) + console_text(c.messages));
    ASSERT_TRUE(r.qndl_out.has_value());
    EXPECT_BYTES_EQ(*r.qndl_out, c.qndl_out);
  }
}

// What the template alone decides about each line.
TEST(RecordLoop, TemplateShapes) {
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
  for (const auto& c : cases) {
    SCOPED_TRACE("template: " + c.out);
    Workdir dir;
    dir.write("in.txt", "a;b;c\r\nd\r\n");
    const auto r = run_qndl(dir, {"in.txt", "-out", c.out});
    EXPECT_EQ(r.status, 0);
    ASSERT_TRUE(r.qndl_out.has_value());
    EXPECT_BYTES_EQ(*r.qndl_out, c.qndl_out);
  }
}

// An existing qndl.out is emptied and rewritten.
TEST(RecordLoop, ReplacesExistingOutput) {
  Workdir dir;
  dir.write("in.txt", "x\n");
  dir.write("qndl.out", std::string(100, 'o'));
  const auto r = run_qndl(dir, {"in.txt", "-out", "<$1>"});
  EXPECT_EQ(r.status, 0);
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "<x>\r\n");
}

const std::string kOneRef = "DEBUG: outtext = {},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n";
const std::string kDefault = "INFO: Using default delimeters of {;}.delimeter is {;}\n";

TEST(RecordLoop, MissingInputLeavesOutputAlone) {
  Workdir dir;
  dir.write("qndl.out", "keep me\r\n");
  const auto r = run_qndl(dir, {"nope.txt", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) + console_text("ERROR: could not open input file (nope.txt)\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "keep me\r\n");
}

TEST(RecordLoop, OutputCannotBeCreated) {
  Workdir dir;
  dir.write("in.txt", "a\n");
  std::filesystem::create_directory(dir.path() / "qndl.out");
  const auto r = run_qndl(dir, {"in.txt", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console,
                  opening(kDefault, kOneRef) + console_text("ERROR: could not create output file (qndl.out)\n"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "qndl.out"));
}

// Creating qndl.out would empty the input when both are the same file.
TEST(RecordLoop, RefusesToOverwriteItsInput) {
  const std::string content = "a;b\r\nc;d\r\n";
  const struct {
    const char* name;
    const char* input;
    void (*link)(const std::filesystem::path& dir);
  } cases[] = {
      {"by name", "qndl.out", nullptr},
      {"by a path to it", "./qndl.out", nullptr},
#ifndef _WIN32
      {"through a symbolic link", "link.txt",
       [](const std::filesystem::path& d) { std::filesystem::create_symlink("qndl.out", d / "link.txt"); }},
#endif
      {"through a hard link", "hard.txt",
       [](const std::filesystem::path& d) { std::filesystem::create_hard_link(d / "qndl.out", d / "hard.txt"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workdir dir;
    dir.write("qndl.out", content);
    if (c.link != nullptr) c.link(dir.path());
    const auto r = run_qndl(dir, {c.input, "-out", "$1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) +
                                   console_text(std::string("ERROR: input file (") + c.input +
                                                ") is the output file, not overwriting it\n"));
    ASSERT_TRUE(r.qndl_out.has_value());
    EXPECT_BYTES_EQ(*r.qndl_out, content);
  }
}

#ifndef _WIN32
// A full disk is an error, not a silent success.
TEST(RecordLoop, WriteFailureIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  Workdir dir;
  dir.write("in.txt", "a\nb\n");
  std::filesystem::create_symlink("/dev/full", dir.path() / "qndl.out");
  const auto r = run_qndl(dir, {"in.txt", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console,
                  opening(kDefault, kOneRef) + console_text("ERROR: could not write output file (qndl.out)\n"));
}

// Opening a directory succeeds here, reading it fails: that is no end of file.
TEST(RecordLoop, ReadFailureIsReported) {
  Workdir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  const auto r = run_qndl(dir, {"sub", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) + console_text("ERROR: could not read input file (sub)\n"));
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "");
}

// Text that cannot reach standard output makes the run fail.
TEST(RecordLoop, ConsoleFailureIsReported) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  Workdir dir;
  dir.write("in.txt", "a\n");
  const auto r = run_qndl(dir, {"in.txt", "-out", "$1"}, "/dev/full");
  EXPECT_EQ(r.status, 1);
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, "a\r\n");
}

// Started with standard input and output closed, the files must not take
// their descriptors: console text would end up in qndl.out.
TEST(RecordLoop, ClosedStandardStreamsKeepFilesApart) {
  // Enough overflow messages to pass through the console's buffer while
  // qndl.out is still open.
  constexpr int kLines = 1000;
  std::string input;
  std::string expected;
  for (int i = 0; i < kLines; ++i) {
    input += numbered_fields(96) + "\n";
    expected += "<1>\r\n";
  }
  Workdir dir;
  dir.write("in.txt", input);
  const auto r = run_qndl(dir, {"in.txt", "-out", "<$1>"}, testing_support::kClosedStandardStreams);
  EXPECT_EQ(r.status, 1);  // the console could not be written
  ASSERT_TRUE(r.qndl_out.has_value());
  EXPECT_BYTES_EQ(*r.qndl_out, expected);
}
#else
// Windows refuses to open a directory as a file, so the error comes earlier
// than on POSIX, before qndl.out is created.
TEST(RecordLoop, DirectoryIsNoInputFile) {
  Workdir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  const auto r = run_qndl(dir, {"sub", "-out", "$1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) + console_text("ERROR: could not open input file (sub)\n"));
  EXPECT_FALSE(r.qndl_out.has_value());
}
#endif

}  // namespace
