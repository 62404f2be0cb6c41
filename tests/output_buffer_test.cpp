#include "output_buffer.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
