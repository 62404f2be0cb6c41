#include "output_buffer.h"

namespace qndl {

OutputBuffer::OutputBuffer(ByteSink& sink, std::size_t capacity)
    : sink_(sink),
      capacity_(capacity == 0 ? 1 : capacity),
      buf_(new char[capacity_]),
      next_(buf_.get()),
      limit_(buf_.get() + capacity_) {}

bool OutputBuffer::flush() {
  const char* const start = buf_.get();
  if (!failed_ && next_ != start) {
    failed_ = !sink_.write(std::string_view(start, static_cast<std::size_t>(next_ - start)));
  }
  next_ = buf_.get();
  return !failed_;
}

void OutputBuffer::append_slow(std::string_view bytes) {
  if (!flush()) return;
  if (bytes.size() >= capacity_) {
    failed_ = !sink_.write(bytes);  // too big to be worth copying
    return;
  }
  std::memcpy(next_, bytes.data(), bytes.size());
  next_ += bytes.size();
}

char* OutputBuffer::room_slow(std::size_t n) {
  if (!flush() || n > capacity_) return nullptr;
  return next_;
}

}  // namespace qndl
