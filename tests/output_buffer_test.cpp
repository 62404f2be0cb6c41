#include "output_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_streams.h"
#include "streams.h"

namespace {

// Pieces smaller than, equal to and larger than the buffer arrive whole and
// in order, whatever the capacity.
TEST(OutputBuffer, KeepsBytesAndOrder) {
  const std::string pieces[] = {"", "a", "bc", "defg", std::string(9, 'h'), "", "i", std::string(3, 'j')};
  std::string expected;
  for (const auto& p : pieces) expected += p;
  for (std::size_t capacity : {1, 2, 3, 4, 8, 1024}) {
    SCOPED_TRACE("capacity " + std::to_string(capacity));
    qndl::StringSink sink;
    qndl::OutputBuffer out(sink, capacity);
    for (const auto& p : pieces) out.append(p);
    EXPECT_TRUE(out.flush());
    EXPECT_EQ(sink.text, expected);
  }
}

// The first failed write sticks: nothing more is attempted.
TEST(OutputBuffer, FailureSticks) {
  testing_support::FullSink sink;
  qndl::OutputBuffer out(sink, 4);
  out.append("abcdef");
  EXPECT_TRUE(out.failed());
  out.append("gh");
  out.append("ijklmnop");
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(sink.writes, 1);
}

// With write-behind the sink sees the very same writes, in the same order
// and sizes, as without it: pieces far smaller than the buffer, and pieces
// larger than it, which are written from where they are.
TEST(OutputBuffer, WriteBehindWritesTheSame) {
  constexpr std::size_t kCapacity = qndl::OutputBuffer::kMinWriteBehind;
  std::vector<std::string> pieces;
  for (int i = 0; i < 5000; ++i) pieces.push_back(std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26)));
  pieces.insert(pieces.begin() + 2500, std::string(3 * kCapacity, 'L'));
  pieces.push_back(std::string(kCapacity, 'M'));
  testing_support::RecordingSink in_place;
  testing_support::RecordingSink behind;
  for (auto* sink : {&in_place, &behind}) {
    qndl::OutputBuffer out(*sink, kCapacity, /*write_behind=*/sink == &behind);
    for (const auto& p : pieces) out.append(p);
    EXPECT_TRUE(out.flush());
  }
  EXPECT_EQ(behind.sizes, in_place.sizes);
  EXPECT_TRUE(behind.text == in_place.text);
  EXPECT_GT(in_place.sizes.size(), 4u);
}

// A failed write behind the filling is seen by settle() and sticks: nothing
// after it is written.
TEST(OutputBuffer, WriteBehindFailureSticks) {
  constexpr std::size_t kCapacity = qndl::OutputBuffer::kMinWriteBehind;
  testing_support::RecordingSink sink(/*fail_from=*/2);
  qndl::OutputBuffer out(sink, kCapacity, /*write_behind=*/true);
  const std::string line(100, 'x');
  for (int i = 0; i < 10000; ++i) out.append(line);
  EXPECT_FALSE(out.settle());
  EXPECT_TRUE(out.failed());
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(sink.writes, 2);
  EXPECT_EQ(sink.text.size(), kCapacity / line.size() * line.size());
}

}  // namespace
