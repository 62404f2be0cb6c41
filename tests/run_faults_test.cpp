// The whole run in process, meeting failures that real files seldom show: a
// close that reports a delayed write error and a read interrupted by a
// signal.
#include <gtest/gtest.h>

#include <string>

#include "fixtures.h"
#include "in_process.h"
#include "sysio.h"

namespace {

using testing_support::Fixture;

const std::string kOpening =
    "Quindle Version 1.0a\n"
    "INFO: Using default delimeters of {;}.delimeter is {;}\n"
    "DEBUG: outtext = {<},1 qndl_ind = {1},1\n"
    "DEBUG: outtext = {>},2\n";

std::string as_is(std::string_view lf_text) { return std::string(lf_text); }

TEST(RunFaults, FailuresEndTheRunAsTheySay) {
  const struct {
    void (*arm)();  // the failing system call, if any
    qndl::Tuning tuning;
    Fixture fixture;
  } cases[] = {
      {sysio::test_hooks::fail_close_of_next_output,
       {},
       {"closing qndl.out fails", {"./in.txt", "-out", "<$2>"}, {{"in.txt", "a;1\nb;2\n"}}, 1,
        kOpening + "ERROR: could not write output file (qndl.out)\n", "<1>\r\n<2>\r\n"}},
#ifndef _WIN32
      // Small blocks: the interrupted read is one of many.
      {sysio::test_hooks::interrupt_next_read,
       {3},
       {"a read interrupted by a signal is retried", {"./in.txt", "-out", "<$2>"}, {{"in.txt", "a;1\nb;2\n"}}, 0,
        kOpening, "<1>\r\n<2>\r\n"}},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture.name);
    testing_support::Workdir dir;
    write_files(dir, c.fixture);
    if (c.arm != nullptr) c.arm();
    const testing_support::RunResult r = testing_support::run_in_process(dir, c.fixture.args, c.tuning);
    EXPECT_FALSE(sysio::test_hooks::armed()) << "the run never reached the failing call";
    sysio::test_hooks::disarm();
    expect_fixture(c.fixture, r, as_is);
  }
}

}  // namespace
