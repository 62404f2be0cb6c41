#include "scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The searches are checked against plain byte loops on every start and end
// offset of each buffer, so every alignment, every chunk/tail split and every
// match position in or beyond a chunk is covered.
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
    {"empty", ""},
    {"no match", std::string(70, 'x')},
    {"only matches", std::string(50, ';')},
    {"scattered", with_bytes_at(90, ";\r\n\x1a", 'a')},
    {"high bytes", with_bytes_at(60, "\xff;\x80", '\xfe')},
    {"zero bytes", with_bytes_at(60, std::string("\0;", 2), 'b')},
    {"one match at the end", std::string(47, 'y') + "\n"},
    {"sparse matches over many spans", with_bytes_at(300, std::string(";\r") + std::string(40, 'z'), 'c')},
};

TEST(Scan, ChunkMatchersAgreeWithThePortableOnes) {
  for (const auto& b : kBuffers) {
    SCOPED_TRACE(b.name);
    for (std::size_t at = 0; at + scan::kChunkSize <= b.bytes.size(); ++at) {
      const char* p = b.bytes.data() + at;
      EXPECT_EQ(scan::match(p, ';'), scan::portable_match(p, ';')) << "at " << at;
      EXPECT_EQ(scan::match(p, '\xff'), scan::portable_match(p, '\xff')) << "at " << at;
      EXPECT_EQ(scan::match_any(p, '\r', '\n', '\x1a'), scan::portable_match_any(p, '\r', '\n', '\x1a'))
          << "at " << at;
    }
  }
}

TEST(Scan, SearchesAgreeWithByteLoopsOnEveryRange) {
  for (const auto& b : kBuffers) {
    SCOPED_TRACE(b.name);
    const char* const data = b.bytes.data();
    for (std::size_t from = 0; from <= b.bytes.size(); ++from) {
      for (std::size_t to = from; to <= b.bytes.size(); ++to) {
        const char* p = data + from;
        const char* end = data + to;
        SCOPED_TRACE("range [" + std::to_string(from) + ", " + std::to_string(to) + ")");
        EXPECT_EQ(scan::find_any(p, end, '\r', '\n', '\x1a'), std::find_if(p, end, [](char c) {
                    return c == '\r' || c == '\n' || c == '\x1a';
                  }));
        const auto all = static_cast<std::size_t>(std::count(p, end, ';'));
        for (std::size_t enough : {std::size_t{0}, std::size_t{1}, std::size_t{7}, all, all + 1}) {
          const std::size_t n = scan::count_up_to(p, end, ';', enough);
          if (all < enough) {
            EXPECT_EQ(n, all) << "enough " << enough;
          } else {
            EXPECT_GE(n, enough) << "enough " << enough;
            EXPECT_LE(n, all) << "enough " << enough;
          }
        }
        for (const char a : {';', '\xff'}) {
          std::vector<const char*> expected;
          for (const char* q = p; q != end; ++q) {
            if (*q == a) expected.push_back(q);
          }
          // Every hit in order; and stopping after the first k of them.
          for (std::size_t k : {std::size_t{1}, std::size_t{2}, expected.size() + 1}) {
            std::vector<const char*> seen;
            scan::for_each_match(p, end, a, [&](const char* hit) {
              seen.push_back(hit);
              return seen.size() < k;
            });
            const std::size_t n = std::min(k, expected.size());
            EXPECT_EQ(seen, std::vector<const char*>(expected.begin(), expected.begin() + n))
                << "byte " << static_cast<int>(static_cast<unsigned char>(a)) << ", stopping after " << k;
          }
        }
      }
    }
  }
}

}  // namespace
