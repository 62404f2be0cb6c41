// The whole run in process, meeting failures that real files seldom show: a
// close that reports a delayed write error, a read interrupted by a signal,
// and a line the record buffer may not grow to hold.
#include <gtest/gtest.h>

#include <string>

#include "fixtures.h"
#include "in_process.h"
#include "reference_model.h"
#include "run.h"
#include "sysio.h"

namespace {

using testing_support::Fixture;

const std::string kOpening =
    std::string(qndl::banner()) +
    "INFO: Using default delimeters of {;}.delimeter is {;}\n"
    "DEBUG: outtext = {<},1 qndl_ind = {1},1\n"
    "DEBUG: outtext = {>},2\n";
const std::string kTooLong = "ERROR: could not hold a line of input file (./in.txt) in memory\n";

// The record buffer's cap in the cases below, and a line it cannot hold.
constexpr std::size_t kBufferLimit = 256;
const std::string kLongLine(1000, 'x');

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
      {nullptr,
       {64, qndl::OutputBuffer::kDefaultCapacity, kBufferLimit},
       {"a line too long for the buffer", {"./in.txt", "-out", "<$2>"},
        {{"in.txt", "a;1\nb;2\n" + kLongLine + "\nc;3\n"}}, 1, kOpening + kTooLong, "<1>\r\n<2>\r\n"}},
      {nullptr,
       {64, qndl::OutputBuffer::kDefaultCapacity, kBufferLimit},
       {"a line too long for the buffer, trial run", {"./in.txt", "-try", "-out", "<$2>"},
        {{"in.txt", kLongLine + "\nc;3\n"}}, 1, kOpening + reference::kTrialNotice + kTooLong, std::nullopt}},
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
