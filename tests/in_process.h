// Runs the program inside the test process, with buffer sizes of the test's
// choosing, so every byte of an input can be put on a block boundary.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "run.h"
#include "test_support.h"

namespace testing_support {

// The buffer sizes the equivalence tests run at: tiny blocks put every byte
// on a boundary somewhere; the defaults are what a real run uses.
inline constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 64, qndl::RecordReader::kDefaultBlockSize};
inline constexpr std::size_t kOutputSizes[] = {1, 2, 3, 7, 64, qndl::OutputBuffer::kDefaultCapacity};

// Runs qndl with `args` and `tuning` with `dir` as the current directory
// (restored afterwards). The console is exactly what the program wrote.
RunResult run_in_process(const Workdir& dir, const std::vector<std::string>& args,
                         const qndl::Tuning& tuning);

}  // namespace testing_support
