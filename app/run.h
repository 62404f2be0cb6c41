// One run of the program, from the banner to the closing of the files.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "output_buffer.h"
#include "record_reader.h"
#include "streams.h"
#include "sysio.h"

namespace qndl {

enum class Outcome {
  kSuccess,     // the input was processed (or the trial shown)
  kUsageError,  // the command line failed its tests; usage text shown
  kFailure,     // an error ended the run
};

// Buffer sizes; tests shrink them to put every byte on a block boundary, and
// cap the record buffer to meet a line too long for memory. A real run has
// no cap but what the allocator gives.
struct Tuning {
  std::size_t read_block = RecordReader::kDefaultBlockSize;
  std::size_t output_buffer = OutputBuffer::kDefaultCapacity;
  std::size_t read_buffer_limit = RecordReader::kNoBufferLimit;
};

// Runs the program on `args` (without the program's own name), writing all of
// its text to `console`.
Outcome run(std::span<const sysio::Argument> args, ByteSink& console, const Tuning& tuning = {});

// The first line of every run: the program's name and version.
std::string_view banner();

// The process exit status for an outcome.
int exit_status(Outcome o);

}  // namespace qndl
