#include "record_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "compile.h"
#include "test_streams.h"

namespace {

using testing_support::CountingSource;

// A read error keeps every line of the records completed before it; the
// unfinished line after the last LF is not written as if it were whole.
TEST(RecordLoopErrors, ReadErrorKeepsCompleteLines) {
  std::string log;
  const auto compiled = tmpl::compile("<$2>", log);
  testing_support::FailingSource source("a;1\nb;2\r\nunfinished;3");
  qndl::RecordReader reader(source, 4096);
  qndl::StringSink file;
  qndl::OutputBuffer out(file, 1);
  qndl::StringSink console;
  EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, ';', &out, console), qndl::LoopEnd::kReadError);
  EXPECT_TRUE(out.flush());
  EXPECT_EQ(file.text, "<1>\r\n<2>\r\n");
  EXPECT_EQ(console.text, "");
}

// A failed write ends the loop soon after: a full disk does not make the run
// read the rest of a large input.
TEST(RecordLoopErrors, WriteFailureStopsReading) {
  std::string log;
  const auto compiled = tmpl::compile("$1", log);
  constexpr std::size_t kLines = 10000;
  const std::string input(kLines, '\n');
  CountingSource source(input);
  qndl::RecordReader reader(source, 1);
  testing_support::FullSink file;
  qndl::OutputBuffer out(file, 1);
  qndl::StringSink console;
  EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, ';', &out, console), qndl::LoopEnd::kWriteError);
  EXPECT_EQ(file.writes, 1);
  EXPECT_LT(source.reads, static_cast<int>(kLines / 10));
}

}  // namespace
