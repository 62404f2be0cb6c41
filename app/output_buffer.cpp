#include "output_buffer.h"

namespace qndl {

bool OutputBuffer::flush() {
  if (!failed_ && used_ > 0) failed_ = !sink_.write(std::string_view(buf_.data(), used_));
  used_ = 0;
  return !failed_;
}

void OutputBuffer::append_slow(std::string_view bytes) {
  if (!flush()) return;
  if (bytes.size() >= buf_.size()) {
    failed_ = !sink_.write(bytes);  // too big to be worth copying
    return;
  }
  std::memcpy(buf_.data(), bytes.data(), bytes.size());
  used_ = bytes.size();
}

}  // namespace qndl
