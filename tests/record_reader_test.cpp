#include "record_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_streams.h"
#include "test_support.h"
#include "streams.h"

namespace {

using testing_support::CountingSource;
using testing_support::FailingSource;

using Status = qndl::RecordReader::Status;

struct Read {
  std::vector<std::string> records;
  bool error = false;
  bool too_long = false;
};

// The masks that come with a record must mark exactly its delimiters and
// none of the end bytes: the splitter and the search trust them.
void expect_masks_match(const scan::IndexedText& record) {
  for (std::size_t i = 0; i < record.text.size(); ++i) {
    const std::size_t bit = record.first_bit + i;
    const scan::WordMasks& word = record.words[bit / scan::kWordSize];
    const scan::Mask one = scan::Mask{1} << (bit % scan::kWordSize);
    ASSERT_EQ((word.delims & one) != 0, record.text[i] == ';') << "byte " << i << " of " << record.text;
    ASSERT_EQ(word.ends & one, 0u) << "byte " << i << " of " << record.text;
  }
}

Read read_all(qndl::ByteSource& source, std::size_t block,
              std::size_t buffer_limit = qndl::RecordReader::kNoBufferLimit) {
  qndl::RecordReader reader(source, ';', block, buffer_limit);
  Read r;
  scan::IndexedText record;
  for (;;) {
    const auto status = reader.next(record);
    if (status == Status::kEnd) break;
    if (status == Status::kReadError || status == Status::kLineTooLong) {
      r.error = status == Status::kReadError;
      r.too_long = status == Status::kLineTooLong;
      break;
    }
    expect_masks_match(record);
    r.records.emplace_back(record.text);
  }
  return r;
}

// Every block size puts the line ends, CRs and Ctrl-Z bytes of these inputs
// on a read boundary somewhere; the records must not change.
TEST(RecordReader, LineEndRulesAtEveryBlockSize) {
  const std::string long_line(5000, 'x');
  const struct {
    std::string input;
    std::vector<std::string> records;
  } cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"\n\n", {"", ""}},
      {"\r\n", {""}},
      {"a;b\rc;d\ne\n", {"a;b", "e"}},
      {"a\r\r\nb", {"a", "b"}},
      {"a\rb\rc\nd", {"a", "d"}},
      {"a\r", {"a"}},
      {"\r", {""}},
      {"a\nb\x1a" "c\nd\n", {"a", "b"}},
      {"a\n\x1a" "b\n", {"a"}},
      {"\x1a" "a\n", {}},
      {"a\n\x1a", {"a"}},
      {"a\rb\x1a" "c\n", {"a"}},
      {std::string("a\0b\n\0\n", 6), {std::string("a\0b", 3), std::string("\0", 1)}},
      {long_line + "\r\n" + long_line, {long_line, long_line}},
      {"\xff\x80;\n", {"\xff\x80;"}},
      {std::string(63, ';') + "\r\n" + std::string(130, 'y') + ";\n;", {std::string(63, ';'), std::string(130, 'y') + ";", ";"}},
      {"\xEF\xBB\xBF" "a\n", {"a"}},  // a UTF-8 byte-order mark first is no data
      {"\xEF\xBB\xBF\xEF\xBB\xBF\n\xEF\xBB\xBF", {"\xEF\xBB\xBF", "\xEF\xBB\xBF"}},
      {"\xEF\xBB", {"\xEF\xBB"}},
  };
  testing_support::for_each_scan_path([&](scan::Path path) {
    for (const auto& c : cases) {
      for (std::size_t block : {1, 2, 3, 7, 64, 65, 4096}) {
        SCOPED_TRACE(std::string(scan::path_name(path)) + ", input of " + std::to_string(c.input.size()) +
                     " bytes, block " + std::to_string(block) + ": " + c.input.substr(0, 40));
        qndl::MemorySource source(c.input);
        const Read r = read_all(source, block);
        EXPECT_FALSE(r.error);
        EXPECT_EQ(r.records, c.records);
      }
    }
  });
}

// A read error is not the end of the input: it is reported, after the
// records that were complete before it.
TEST(RecordReader, ReadErrorIsReported) {
  const struct {
    std::string before_error;
    std::vector<std::string> records;
  } cases[] = {
      {"a\nb\npartial", {"a", "b"}},
      {"a\rrest of a cut line", {"a"}},  // while dropping the rest after a CR
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before_error);
    FailingSource source(c.before_error);
    const Read r = read_all(source, 4096);
    EXPECT_TRUE(r.error);
    EXPECT_EQ(r.records, c.records);
  }
}

// A line that the buffer may not grow to hold ends the input, after the
// records before it; one that fits, with its line end, is a record. The
// dropped rest of a line after a CR is never held, so it may be any length.
TEST(RecordReader, BufferLimit) {
  constexpr std::size_t kLimit = 16;
  const std::string fits(kLimit - 1, 'x');
  const std::string too_long(kLimit, 'x');
  const struct {
    std::string input;
    std::vector<std::string> records;
    bool too_long;
  } cases[] = {
      {"a\n" + fits + "\nb\n", {"a", fits, "b"}, false},
      {"a\n" + fits + "\r\nb\n", {"a", fits, "b"}, false},
      {"a\n" + too_long + "\nb\n", {"a"}, true},
      {"a\n" + too_long + std::string(100, 'y'), {"a"}, true},
      {"a\r" + std::string(100, 'y') + "\nb\n", {"a", "b"}, false},
  };
  for (const auto& c : cases) {
    // Each block size grows the buffer by different steps up to the limit.
    for (std::size_t block : {1, 3, 5, 16}) {
      SCOPED_TRACE(c.input + ", block " + std::to_string(block));
      qndl::MemorySource source(c.input);
      const Read r = read_all(source, block, kLimit);
      EXPECT_FALSE(r.error);
      EXPECT_EQ(r.too_long, c.too_long);
      EXPECT_EQ(r.records, c.records);
    }
  }
}

// A line far longer than the buffer still arrives in reads of a whole
// block each: the buffer grows by doubling, not by a sliver per read.
TEST(RecordReader, LongLineKeepsReadsLarge) {
  constexpr std::size_t kBlock = 4096;
  constexpr std::size_t kLine = std::size_t{1} << 20;
  const std::string input = std::string(kLine, 'x') + "\nend\n";
  CountingSource source(input);
  const Read r = read_all(source, kBlock);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.records[0].size(), kLine);
  EXPECT_LE(source.reads, static_cast<int>(input.size() / kBlock) + 2);
}

}  // namespace
