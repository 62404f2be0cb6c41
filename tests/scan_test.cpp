#include "scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// Every kernel is checked against a byte loop on words starting at every
// offset of each buffer, for delimiters that are ordinary, high, zero and
// one of the end bytes themselves.
struct Buffer {
  const char* name;
  std::string bytes;
};

std::string with_bytes_at(std::size_t size, std::string_view at, char fill) {
  std::string s(size, fill);
  for (std::size_t i = 0; i < size; ++i) {
    if (i % 13 == 5 || i % 29 == 0) s[i] = at[i % at.size()];
  }
  return s;
}

const Buffer kBuffers[] = {
    {"no match", std::string(200, 'x')},
    {"only matches", std::string(200, ';')},
    {"scattered", with_bytes_at(260, ";\r\n\x1a", 'a')},
    {"high bytes", with_bytes_at(200, "\xff;\x80\x7f", '\xfe')},
    {"zero bytes", with_bytes_at(200, std::string("\0;", 2), 'b')},
    {"every byte value", [] {
       std::string s;
       for (int i = 0; i < 512; ++i) s += static_cast<char>(i * 7);
       return s;
     }()},
};

scan::WordMasks byte_loop(const char* p, char delimiter) {
  scan::WordMasks m;
  for (std::size_t i = 0; i < scan::kWordSize; ++i) {
    const scan::Mask bit = scan::Mask{1} << i;
    if (p[i] == '\r' || p[i] == '\n' || p[i] == '\x1a') m.ends |= bit;
    if (p[i] == delimiter) m.delims |= bit;
  }
  return m;
}

TEST(Scan, EveryKernelAgreesWithAByteLoop) {
  testing_support::for_each_scan_path([](scan::Path path) {
    SCOPED_TRACE(scan::path_name(path));
    for (const auto& b : kBuffers) {
      SCOPED_TRACE(b.name);
      for (const char delimiter : {';', '\xff', '\0', '\r'}) {
        for (std::size_t at = 0; at + 2 * scan::kWordSize <= b.bytes.size(); ++at) {
          const char* p = b.bytes.data() + at;
          scan::WordMasks got[2];
          scan::index_words(p, 2, delimiter, got);
          for (std::size_t w = 0; w < 2; ++w) {
            const scan::WordMasks want = byte_loop(p + w * scan::kWordSize, delimiter);
            ASSERT_EQ(got[w].ends, want.ends) << "at " << at << " word " << w;
            ASSERT_EQ(got[w].delims, want.delims) << "at " << at << " word " << w << " delimiter "
                                                  << static_cast<int>(delimiter);
          }
        }
      }
    }
  });
}

// The portable kernel is always there; on x86-64 SSE2 is too. Forcing a path
// makes it the one that runs, and the default is the last one listed.
TEST(Scan, PathsCanBeForced) {
  const auto paths = scan::available_paths();
  ASSERT_FALSE(paths.empty());
  EXPECT_EQ(paths.front(), scan::Path::kPortable);
#if defined(__x86_64__) || defined(_M_X64)
  EXPECT_NE(std::find(paths.begin(), paths.end(), scan::Path::kSse2), paths.end());
#endif
  EXPECT_EQ(scan::active_path(), paths.back());
  testing_support::for_each_scan_path([](scan::Path path) { EXPECT_EQ(scan::active_path(), path); });
  EXPECT_EQ(scan::active_path(), paths.back());
}

}  // namespace
