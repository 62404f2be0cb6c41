// The floor of the benchmark: reads a file in the blocks qndl reads and
// writes a given number of bytes in the writes qndl makes, and does nothing
// in between. No program that reads its input with read calls on one core
// can be faster on the same input and output sizes.
//
// Usage: qndl_floor INPUT OUTPUT_BYTES   (writes OUTPUT_BYTES bytes to floor.out)
//
// The output is written as the input is read, in proportion to it, the way
// qndl's output buffer fills, so the page cache sees the same mix.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "sysio.h"

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 18;   // qndl's read block
constexpr std::size_t kWriteSize = std::size_t{1} << 20;   // qndl's output buffer

int fail(const char* what) {
  std::fprintf(stderr, "qndl_floor: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<sysio::Argument> args = sysio::arguments(argc, argv);
  if (args.size() != 2) return fail("usage: qndl_floor INPUT OUTPUT_BYTES");
  const unsigned long long total_out = std::strtoull(args[1].text.c_str(), nullptr, 10);
  const sysio::Handle in = sysio::open_input(args[0].name);
  if (in == sysio::kNoHandle) return fail("cannot open the input");
  const sysio::Handle out = sysio::create_output("floor.out");
  if (out == sysio::kNoHandle) return fail("cannot create floor.out");
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  const std::unique_ptr<char[]> lines(new char[kWriteSize]());
  // Output owed for the input read so far, at the ratio of the two sizes.
  std::error_code size_error;
  const unsigned long long in_size = std::filesystem::file_size(std::filesystem::path(args[0].name), size_error);
  if (size_error) return fail("cannot tell the input's size");
  unsigned long long read_total = 0, written = 0;
  for (;;) {
    const long long n = sysio::read_some(in, block.get(), kReadBlock);
    if (n < 0) return fail("read error");
    read_total += static_cast<unsigned long long>(n);
    const unsigned long long owed =
        n == 0 || in_size == 0 ? total_out : total_out * read_total / in_size;
    while (owed - written >= kWriteSize || (n == 0 && written < owed)) {
      const std::size_t size = owed - written >= kWriteSize ? kWriteSize : owed - written;
      if (!sysio::write_all(out, lines.get(), size)) return fail("write error");
      written += size;
    }
    if (n == 0) break;
  }
  sysio::close(in);
  return sysio::close(out) ? 0 : fail("close error");
}
