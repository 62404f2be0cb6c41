// Collects output bytes in one large buffer and hands them to a sink in big
// writes. After the first failed write everything further is discarded and
// failed() stays true, so the caller can stop at the first failure.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

#include "streams.h"

namespace qndl {

class OutputBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity)
      : sink_(sink), buf_(capacity == 0 ? 1 : capacity) {}

  void append(std::string_view bytes) {
    if (bytes.size() <= buf_.size() - used_) {
      if (!bytes.empty()) std::memcpy(buf_.data() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
      return;
    }
    append_slow(bytes);
  }

  // Writes out what is buffered; false if this or any earlier write failed.
  bool flush();
  bool failed() const { return failed_; }

 private:
  void append_slow(std::string_view bytes);

  ByteSink& sink_;
  std::vector<char> buf_;
  std::size_t used_ = 0;  // buf_[0, used_) waits to be written
  bool failed_ = false;
};

}  // namespace qndl
