// The record loop: input bytes to exact qndl.out bytes, console and status.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "fixtures.h"

namespace {

using testing_support::console_text;
using testing_support::expect_fixture;
using testing_support::Fixture;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

// With -delim ";" -out "zorvat -set $4 $5".
TEST(RecordLoop, ZorvatFixtures) {
  for (const Fixture& f : testing_support::zorvat_fixtures()) {
    SCOPED_TRACE(f.name);
    Workdir dir;
    testing_support::write_files(dir, f);
    expect_fixture(f, run_qndl(dir, f.args), console_text);
  }
}

TEST(RecordLoop, TemplateShapes) {
  for (const Fixture& f : testing_support::template_shape_fixtures()) {
    SCOPED_TRACE(f.name);
    Workdir dir;
    testing_support::write_files(dir, f);
    expect_fixture(f, run_qndl(dir, f.args), console_text);
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
#endif

}  // namespace
