// The record loop in memory: the bytes written for every buffer size, and
// what a read or write failure leaves.
#include "record_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "compile.h"
#include "output_buffer.h"
#include "record_reader.h"
#include "streams.h"
#include "test_streams.h"
#include "test_support.h"

namespace {

using testing_support::CountingSource;

// A read error keeps every line of the records completed before it; the
// unfinished line after the last LF is not written as if it were whole.
TEST(RecordLoopErrors, ReadErrorKeepsCompleteLines) {
  std::string log;
  const auto compiled = tmpl::compile("<$2>", log);
  testing_support::FailingSource source("a;1\nb;2\r\nunfinished;3");
  qndl::RecordReader reader(source, ';', 4096);
  qndl::StringSink file;
  qndl::OutputBuffer out(file, 1);
  qndl::StringSink console;
  EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, &out, console), qndl::LoopEnd::kReadError);
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
  qndl::RecordReader reader(source, ';', 1);
  testing_support::FullSink file;
  qndl::OutputBuffer out(file, 1);
  qndl::StringSink console;
  EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, &out, console), qndl::LoopEnd::kWriteError);
  EXPECT_EQ(file.writes, 1);
  EXPECT_LT(source.reads, static_cast<int>(kLines / 10));
}

// With write-behind the loop learns of a failed write later than without;
// it must still stop at the same record as far as anyone can see: the
// overflow messages on the console end where they end without it.
TEST(RecordLoopErrors, WriteBehindFailureShowsTheSameConsole) {
  std::string log;
  const auto compiled = tmpl::compile("$1", log);
  const std::string line = std::string(200, 'w') + ";" + testing_support::numbered_fields(120) + "\n";
  std::string input;
  for (int i = 0; i < 3000; ++i) input += line;
  std::string consoles[2];
  int writes[2] = {};
  for (int behind = 0; behind < 2; ++behind) {
    qndl::MemorySource source(input);
    qndl::RecordReader reader(source, ';');
    testing_support::RecordingSink file(/*fail_from=*/1);
    qndl::OutputBuffer out(file, qndl::OutputBuffer::kMinWriteBehind, behind == 1);
    qndl::StringSink console;
    EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, &out, console), qndl::LoopEnd::kWriteError);
    consoles[behind] = console.text;
    writes[behind] = file.writes;
  }
  EXPECT_EQ(writes[1], writes[0]);
  EXPECT_EQ(consoles[1].size(), consoles[0].size());
  EXPECT_TRUE(consoles[1] == consoles[0]);
  EXPECT_FALSE(consoles[0].empty());
}

TEST(RecordLoop, OutputIsTheSameForEveryBufferSize) {
  const std::string field(300, 'F');
  const struct {
    const char* name;
    std::string template_text;
    std::string input;
    std::string written;
  } cases[] = {
      {"pieces of every short length", "zorvat -set $4 $5",
       "a;b;c;d;e\r\n1;2;3;4567;89abcdefghijklmnopq\r\n\n;;;;\n1;2;3;ab;abc\rx\n"
       "1;2;3;0123456789abcdef;0123456789abcdefg\n",
       "zorvat -set d e\r\nzorvat -set 4567 89abcdefghijklmnopq\r\nzorvat -set  \r\nzorvat -set  \r\n"
       "zorvat -set ab abc\r\nzorvat -set 0123456789abcdef 0123456789abcdefg\r\n"},
      {"one field three times, longer than the buffer", "$1$1$1", field + "\n;\n",
       field + field + field + "\r\n\r\n"},
      {"template with a line end", "<$2>\n$1", "a;b\r\nc\n", "<b>\r\na\r\n<>\r\nc\r\n"},
      {"no reference", "text", "1\n2\n", "text\r\ntext\r\n"},
  };
  for (const auto& c : cases) {
    std::string log;
    const tmpl::CompileResult compiled = tmpl::compile(c.template_text, log);
    for (std::size_t block : {std::size_t{1}, std::size_t{7}, qndl::RecordReader::kDefaultBlockSize}) {
      for (std::size_t capacity : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{16},
                                   std::size_t{64}, std::size_t{1000}, qndl::OutputBuffer::kDefaultCapacity}) {
        SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(block) + ", buffer " +
                     std::to_string(capacity));
        qndl::MemorySource source(c.input);
        qndl::RecordReader reader(source, ';', block);
        qndl::StringSink file;
        qndl::StringSink console;
        qndl::OutputBuffer out(file, capacity);
        EXPECT_EQ(qndl::run_records(reader, compiled.tmpl, &out, console), qndl::LoopEnd::kInputDone);
        EXPECT_TRUE(out.flush());
        EXPECT_EQ(file.text, c.written);
        EXPECT_EQ(console.text, "");
      }
    }
  }
}

}  // namespace
