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

// Copies `n` bytes. Pieces of an output line are mostly a few bytes long:
// two overlapping fixed-size copies cost less than a library call for them.
inline void copy_bytes(char* to, const char* from, std::size_t n) {
  constexpr std::size_t kShortPiece = 16;
  if (n > kShortPiece) {
    std::memcpy(to, from, n);
  } else if (n >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n > 0) {  // 1 to 3 bytes: first, middle and last
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

class OutputBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity);

  void append(std::string_view bytes) {
    if (bytes.size() <= static_cast<std::size_t>(limit_ - next_)) {
      copy_bytes(next_, bytes.data(), bytes.size());
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
