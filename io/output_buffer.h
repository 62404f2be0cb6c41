// Collects output bytes in one large buffer and hands them to a sink in big
// writes. After the first failed write everything further is discarded and
// failed() stays true, so the caller can stop at the first failure.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "streams.h"

namespace qndl {

// Bytes a short copy reads and writes past the end of its piece.
inline constexpr std::size_t kCopyOverrun = 16;

// Copies `n` bytes from `from` to `to`, where kCopyOverrun bytes more may be
// read at `from` and overwritten at `to`. A piece of up to that size (most
// fields and segments) takes one fixed-size copy and no branch on its length,
// which would be mispredicted at every change of field width.
inline void copy_with_overrun(char* to, const char* from, std::size_t n) {
  if (n <= kCopyOverrun) {
    std::memcpy(to, from, kCopyOverrun);  // a constant size: one load and one store
  } else {
    std::memcpy(to, from, n);
  }
}

class OutputBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity);

  void append(std::string_view bytes) {
    if (bytes.size() <= static_cast<std::size_t>(limit_ - next_)) {
      if (!bytes.empty()) std::memcpy(next_, bytes.data(), bytes.size());
      next_ += bytes.size();
      return;
    }
    append_slow(bytes);
  }

  // Where the next `n` bytes can be written, flushing first when they do not
  // fit; nullptr when they never fit (more than the capacity) or after a
  // failure. The caller writes up to `n` bytes there and passes the end of
  // what it wrote to commit(). Filling the room through a local pointer lets
  // the compiler keep it in a register, which append() cannot.
  char* room(std::size_t n) {
    if (n <= static_cast<std::size_t>(limit_ - next_)) return next_;
    return room_slow(n);
  }
  void commit(char* end) { next_ = end; }

  // Writes out what is buffered; false if this or any earlier write failed.
  bool flush();
  bool failed() const { return failed_; }

 private:
  void append_slow(std::string_view bytes);
  char* room_slow(std::size_t n);

  ByteSink& sink_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buf_;  // capacity_ bytes
  // [buf_, next_) waits to be written; [next_, limit_) is free.
  char* next_;
  char* limit_;
  bool failed_ = false;
};

}  // namespace qndl
