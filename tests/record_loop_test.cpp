#include "record_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "compile.h"
#include "output_buffer.h"
#include "record_reader.h"
#include "fake_streams.h"
#include "streams.h"

namespace {

using testing_support::CountingSource;
using testing_support::FullSink;

// The first failed write ends the loop: the rest of the input is not read.
TEST(RecordLoop, StopsAtFirstWriteFailure) {
  std::string input;
  for (int i = 0; i < 10000; ++i) input += "a;b;c\n";
  CountingSource source(input);
  qndl::RecordReader reader(source, 64);
  std::string console;
  const tmpl::Template t = tmpl::compile("$2", console).tmpl;
  FullSink sink;
  qndl::OutputBuffer out(sink, 16);
  qndl::StringSink messages;
  EXPECT_EQ(qndl::run_records(reader, t, ';', &out, messages), qndl::LoopEnd::kWriteError);
  EXPECT_LE(source.reads, 2);
}

}  // namespace
