// Block-boundary equivalence: every end-to-end fixture, and inputs built to
// put CR, LF, Ctrl-Z and the delimiter on every offset, give the same bytes
// at every read block and output buffer size, on every index kernel the
// machine has, and the same as the reference model.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fixtures.h"
#include "in_process.h"
#include "reference_model.h"

namespace {

using testing_support::escaped;
using testing_support::Fixture;
using testing_support::run_in_process;
using testing_support::RunResult;
using testing_support::Workdir;

std::string as_is(std::string_view lf_text) { return std::string(lf_text); }

RunResult modelled(const std::vector<std::string>& args, const reference::Files& files) {
  const reference::Result m = reference::run(args, files);
  return {m.status, m.console, m.qndl_out};
}

void expect_same(const RunResult& actual, const RunResult& expected) {
  EXPECT_EQ(actual.status, expected.status);
  EXPECT_BYTES_EQ(actual.console, expected.console);
  EXPECT_EQ(actual.qndl_out.has_value(), expected.qndl_out.has_value());
  if (actual.qndl_out && expected.qndl_out) {
    EXPECT_BYTES_EQ(*actual.qndl_out, *expected.qndl_out);
  }
}

std::string tuning_trace(std::size_t block, std::size_t output) {
  return "read block " + std::to_string(block) + ", output buffer " + std::to_string(output);
}

// The fixtures hold the exact expected bytes; the model must agree with them
// too, which is what makes it a trustworthy oracle for the tests below.
TEST(BlockBoundaries, FixturesAtEveryBufferSize) {
  for (const Fixture& f : testing_support::all_fixtures()) {
    SCOPED_TRACE(f.name);
    const RunResult model = modelled(f.args, f.files);
    {
      SCOPED_TRACE("reference model");
      expect_fixture(f, model, as_is);
    }
    // Every read block with every output buffer on the kernel a run chooses;
    // every read block on the others, the output sizes rotating (the output
    // buffer does not depend on the kernel).
    testing_support::for_each_scan_path([&](scan::Path path) {
      const bool chosen = path == scan::available_paths().back();
      for (std::size_t b = 0; b < std::size(testing_support::kBlockSizes); ++b) {
        for (std::size_t o = 0; o < std::size(testing_support::kOutputSizes); ++o) {
          if (!chosen && o != b) continue;
          const std::size_t block = testing_support::kBlockSizes[b];
          const std::size_t output = testing_support::kOutputSizes[o];
          SCOPED_TRACE(std::string(scan::path_name(path)) + ", " + tuning_trace(block, output));
          Workdir dir;
          write_files(dir, f);
          const RunResult r = run_in_process(dir, f.args, {block, output});
          expect_fixture(f, r, as_is);
          expect_same(r, model);
        }
      }
    });
  }
}

// Inputs with one awkward byte sequence after `offset` filler bytes, for
// every offset up to past the largest small block: CR LF split across two
// reads, a Ctrl-Z or delimiter as the first or last byte of a block, a line
// longer than a block.
TEST(BlockBoundaries, GeneratedInputsAtEveryBufferSize) {
  const std::string patterns[] = {"\r\n", "\r", "\n", "\x1a", ";", "\r\x1a", "\r\r\n", ";\r\n", "\n\x1a", ";;\n\n"};
  const std::vector<std::string> templates[] = {
      {"-out", "<$1|$2|$5>"}, {"-out", "$5$4$3$2$1"}, {"-try", "-out", "[$2]"}};
  constexpr int kMaxOffset = 70;
  std::size_t input_count = 0;
  for (const std::string& pattern : patterns) {
    for (int offset = 0; offset <= kMaxOffset; ++offset) {
      const std::string input =
          "1;2;3;4;" + std::string(static_cast<std::size_t>(offset), 'x') + pattern + "5;6\r\n7;8;9;10;11\n" + pattern;
      std::vector<std::string> args = {"in.txt", "-delim", ";"};
      const auto& extra = templates[static_cast<std::size_t>(offset) % std::size(templates)];
      args.insert(args.end(), extra.begin(), extra.end());
      const RunResult model = modelled(args, {{"in.txt", input}});
      ++input_count;
      testing_support::for_each_scan_path([&](scan::Path path) {
        const bool chosen = path == scan::available_paths().back();
        for (std::size_t b = 0; b < std::size(testing_support::kBlockSizes); ++b) {
          // The other kernels take every second block size, alternating
          // from input to input.
          if (!chosen && (b + input_count) % 2 != 0) continue;
          // The output sizes rotate from input to input, so each meets every block size.
          const std::size_t block = testing_support::kBlockSizes[b];
          const std::size_t output =
              testing_support::kOutputSizes[(b + input_count) % std::size(testing_support::kOutputSizes)];
          SCOPED_TRACE(std::string(scan::path_name(path)) + ", input " + escaped(input) + ", " +
                       tuning_trace(block, output));
          Workdir dir;
          dir.write("in.txt", input);
          expect_same(run_in_process(dir, args, {block, output}), model);
        }
      });
    }
  }
}

}  // namespace
