// The record loop: input bytes to exact qndl.out bytes, console and status.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "fixtures.h"
#include "process.h"
#include "reference_model.h"

namespace {

using testing_support::console_text;
using testing_support::numbered_fields;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

// With -delim ";" -out "zorvat -set $4 $5".
TEST(RecordLoop, ZorvatFixtures) {
  testing_support::expect_fixtures_from_binary(testing_support::zorvat_fixtures());
}

TEST(RecordLoop, TemplateShapes) {
  testing_support::expect_fixtures_from_binary(testing_support::template_shape_fixtures());
}

TEST(RecordLoop, InputStartFixtures) {
  testing_support::expect_fixtures_from_binary(testing_support::input_start_fixtures());
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

// An input that cannot be used is refused before qndl.out is touched, and
// in a trial run before the trial notice: the output of an earlier run
// survives. A directory is refused at the open on every platform; reading
// /proc/self/mem fails at its first byte.
TEST(RecordLoop, UnusableInputLeavesOutputAlone) {
  const struct {
    const char* input;
    const char* error;
  } cases[] = {
      {"sub", "could not open input file (sub)\n"},
      {"/proc/self/mem", "could not read input file (/proc/self/mem)\n"},
  };
  for (const auto& c : cases) {
    if (c.input[0] == '/' && !std::filesystem::exists(c.input)) continue;
    for (const bool trial : {false, true}) {
      SCOPED_TRACE(std::string(c.input) + (trial ? ", trial run" : ""));
      Workdir dir;
      std::filesystem::create_directory(dir.path() / "sub");
      dir.write("qndl.out", "keep me\r\n");
      std::vector<std::string> args = {c.input, "-out", "$1"};
      if (trial) args.push_back("-try");
      const auto r = run_qndl(dir, args);
      EXPECT_EQ(r.status, 1);
      EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) + console_text(std::string("ERROR: ") + c.error));
      ASSERT_TRUE(r.qndl_out.has_value());
      EXPECT_BYTES_EQ(*r.qndl_out, "keep me\r\n");
    }
  }
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
      // The other way round: the name qndl.out leads to the input.
      {"qndl.out a symbolic link to it", "in.txt",
       [](const std::filesystem::path& d) {
         std::filesystem::rename(d / "qndl.out", d / "in.txt");
         std::filesystem::create_symlink("in.txt", d / "qndl.out");
       }},
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
    const auto input = dir.read(c.input);
    ASSERT_TRUE(input.has_value());
    EXPECT_BYTES_EQ(*input, content);
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

// With standard output closed, the files the program opens would take the
// lowest free descriptors: console text must not reach qndl.out through
// them, and the lost console text is still a failure. Enough overflow
// messages to pass any console buffer before qndl.out is closed.
TEST(RecordLoop, ClosedStandardOutputIsNotTheOutputFile) {
  constexpr int kLines = 300;
  std::string input, expected;
  for (int i = 0; i < kLines; ++i) {
    input += numbered_fields(99) + "\n";
    expected += "<1>\r\n";
  }
  for (const char* closing : {"0<&- 1>&-", "1>&-", "0<&- 1>&- 2>&-"}) {
    SCOPED_TRACE(closing);
    Workdir dir;
    dir.write("in.txt", input);
    // "$0" "$@": the words that start qndl, passed after the script.
    const std::string script = std::string("exec \"$0\" \"$@\" in.txt -out '<$1>' ") + closing;
    const std::vector<std::string> qndl = testing_support::qndl_command();
    std::vector<std::string> args{"-c", script};
    args.insert(args.end(), qndl.begin(), qndl.end());
    const int status =
        testing_support::run_process("/bin/sh", args, dir.path().string(), (dir.path() / "console.txt").string());
    EXPECT_EQ(status, 1);
    const auto written = dir.read("qndl.out");
    ASSERT_TRUE(written.has_value());
    EXPECT_BYTES_EQ(*written, expected);
  }
}

// A line too long for the memory the run may use ends the input there, as a
// read error does: the lines before it are written and the run fails with a
// message instead of an abort. The address space is limited, as Linux would
// otherwise overcommit; the long line is a stretch of text and then the hole
// of a sparse file, so it costs neither disk nor memory before it is read.
TEST(RecordLoop, LineTooLongForMemory) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit";
#endif
#ifdef QNDL_EMULATOR
  // The limit binds the emulator, not the program in it: qemu-user maps the
  // guest's memory outside it, so the run reads the whole line (for minutes).
  GTEST_SKIP() << "the address limit does not reach a program under the emulator";
#endif
  constexpr std::size_t kAddressLimit = 150'000'000;
  constexpr std::uintmax_t kInputSize = 400'000'000;
  const std::string text_of_long_line(std::size_t{1} << 20, 'x');
  std::string good, written;
  for (int i = 1; i <= 1000; ++i) {
    good += "r" + std::to_string(i) + ";x\n";
    written += "r" + std::to_string(i) + "\r\n";
  }
  const struct {
    const char* name;
    std::string before;  // the lines before the long one
    std::vector<std::string> args;
    std::string messages;  // console text before the error line
    std::optional<std::string> qndl_out;
  } cases[] = {
      {"normal run", good, {"in.txt", "-out", "$1"}, "", written},
      {"trial run", "", {"in.txt", "-try", "-out", "$1"}, reference::kTrialNotice, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Workdir dir;
    dir.write("in.txt", c.before + text_of_long_line);
    std::filesystem::resize_file(dir.path() / "in.txt", kInputSize);
    const auto r = testing_support::run_qndl_with_address_limit(dir, c.args, kAddressLimit);
    EXPECT_EQ(r.status, 1);
    EXPECT_BYTES_EQ(r.console, opening(kDefault, kOneRef) +
                                   console_text(c.messages + "ERROR: could not hold a line of input file (in.txt) in memory\n"));
    EXPECT_EQ(r.qndl_out.has_value(), c.qndl_out.has_value());
    if (r.qndl_out && c.qndl_out) {
      EXPECT_BYTES_EQ(*r.qndl_out, *c.qndl_out);
    }
  }
}

// A trial run shows a first line that fits in memory once, however large:
// the display must not copy the fields (a 60 MB line and its one field shown
// twice would not fit beside the reader's buffer under this limit).
TEST(RecordLoop, TrialShowsALineThatFitsOnce) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit";
#endif
  constexpr std::size_t kAddressLimit = 150'000'000;
  constexpr std::size_t kLine = 60'000'000;
  Workdir dir;
  dir.write("in.txt", "");
  std::filesystem::resize_file(dir.path() / "in.txt", kLine);  // zero bytes, sparse
  {
    std::ofstream f(dir.path() / "in.txt", std::ios::binary | std::ios::app);
    f << "\nsecond line\n";
  }
  const auto r = testing_support::run_qndl_with_address_limit(dir, {"in.txt", "-try", "-out", "[$1]"}, kAddressLimit);
  EXPECT_EQ(r.status, 0);
  const std::string field(kLine, '\0');
  const std::string expected =
      opening(kDefault, "DEBUG: outtext = {[},1 qndl_ind = {0},1\nDEBUG: outtext = {]},2\n") +
      console_text(reference::kTrialNotice + "Col 1 {" + field + "}\n[" + field + "]\n");
  EXPECT_EQ(r.console.size(), expected.size());
  EXPECT_TRUE(r.console == expected) << "console differs; its first 300 bytes: " << r.console.substr(0, 300);
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

#endif

#ifndef _WIN32
// Faults in trial runs, on the console and in the arguments, beside the
// single cases above: exact console text and status, and what must survive.
TEST(RecordLoop, FaultMatrix) {
  namespace fs = std::filesystem;
  const bool have_full = fs::exists("/dev/full");
  const std::string long_name(100000, 'n');
  const std::string long_text(100000, 't');
  const std::string kept = "keep;me\r\n";
  const std::string trial_notice =
      "\nOption -try selected, will process just first\n"
      "line, and printf to screen rather than output file.\n"
      "Empty columns will be replaced with the character 'X'\n\n";
  const std::string long_text_compile = "DEBUG: outtext = {" + long_text + "},1 qndl_ind = {0},1\nDEBUG: outtext = {},2\n";
  const struct {
    const char* name;
    std::vector<std::string> args;
    void (*setup)(const fs::path& dir);  // beside in.txt "a;b" and, unless it replaces it, qndl.out `kept`
    bool needs_full;
    std::string stdout_path;
    int status;
    std::string console;                  // after the banner; unchecked when stdout is redirected
    std::optional<std::string> qndl_out;  // afterwards
  } cases[] = {
      {"input missing, trial run", {"nope.txt", "-try", "-out", "$1"}, nullptr, false, "", 1,
       kDefault + kOneRef + "ERROR: could not open input file (nope.txt)\n", kept},
      {"qndl.out a link to /dev/full, trial run", {"in.txt", "-try", "-out", "$1"},
       [](const fs::path& d) {
         fs::remove(d / "qndl.out");
         fs::create_symlink("/dev/full", d / "qndl.out");
       },
       true, "", 0, kDefault + kOneRef + trial_notice + "Col 1 {a}\nCol 2 {b}\na\n", std::nullopt},
      {"standard output full, trial run", {"in.txt", "-try", "-out", "$1"}, nullptr, true, "/dev/full", 1, "", kept},
      {"standard output full, usage error", {}, nullptr, true, "/dev/full", 1, "", kept},
      {"standard output full, missing input", {"nope.txt", "-out", "$1"}, nullptr, true, "/dev/full", 1, "", kept},
      {"8-bit delimiter", {"eight.txt", "-delim", "\xe4", "-out", "$2|$1"},
       [](const fs::path& d) { std::ofstream(d / "eight.txt", std::ios::binary) << "x\xe4y\xe4z\r\n\xe4\xe4\n"; },
       false, "", 0,
       "INFO: delimeter is {\xe4}\nDEBUG: outtext = {},1 qndl_ind = {1},1\nDEBUG: outtext = {|},2 qndl_ind = {0},2\n"
       "DEBUG: outtext = {},3\n",
       "y|x\r\n|\r\n"},
      {"file name of 100000 characters", {long_name, "-out", "$1"}, nullptr, false, "", 1,
       kDefault + kOneRef + "ERROR: could not open input file (" + long_name + ")\n", kept},
      {"template of 100000 characters, trial run", {"in.txt", "-try", "-out", long_text + "$1"}, nullptr, false, "", 0,
       kDefault + long_text_compile + trial_notice + "Col 1 {a}\nCol 2 {b}\n" + long_text + "a\n", kept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needs_full && !have_full) continue;
    Workdir dir;
    dir.write("in.txt", "a;b\n");
    dir.write("qndl.out", kept);
    if (c.setup != nullptr) c.setup(dir.path());
    const auto r = run_qndl(dir, c.args, c.stdout_path);
    EXPECT_EQ(r.status, c.status);
    if (c.stdout_path.empty()) {
      EXPECT_BYTES_EQ(r.console, opening(c.console, ""));
    }
    EXPECT_EQ(r.qndl_out.has_value(), c.qndl_out.has_value());
    if (r.qndl_out && c.qndl_out) {
      EXPECT_BYTES_EQ(*r.qndl_out, *c.qndl_out);
    }
  }
}
#endif

}  // namespace
