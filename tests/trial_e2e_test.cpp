// The trial run: the first record shown on the console, no output file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "fixtures.h"
#include "reference_model.h"

namespace {

using testing_support::console_text;
using testing_support::opening;
using testing_support::run_qndl;
using testing_support::Workdir;

const std::string kReport = "INFO: Using default delimeters of {;}.delimeter is {;}\n";
const std::string kZorvat =
    "DEBUG: outtext = {zorvat -set },1 qndl_ind = {3},1\n"
    "DEBUG: outtext = { },2 qndl_ind = {4},2\n"
    "DEBUG: outtext = {},3\n";

TEST(TrialRun, FirstRecordDisplay) {
  testing_support::expect_fixtures_from_binary(testing_support::trial_fixtures());
}

// The same trial runs on an input whose name no code page of the West holds.
TEST(TrialRun, FirstRecordDisplayFromACjkName) {
  const std::string name = "日本.txt";
  std::vector<testing_support::Fixture> table = testing_support::trial_fixtures();
  for (testing_support::Fixture& f : table) {
    for (std::string& a : f.args) {
      if (a == "in.txt") a = name;
    }
    auto input = f.files.extract("in.txt");
    ASSERT_FALSE(input.empty());
    input.key() = name;
    f.files.insert(std::move(input));
  }
  testing_support::expect_fixtures_from_binary(table);
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
                                   console_text(reference::kTrialNotice + "Col 1 {a}\nCol 2 {b}\nb\n"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "gone"));
  }
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
