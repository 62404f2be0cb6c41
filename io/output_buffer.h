// Collects output bytes in one large buffer and hands them to a sink in big
// writes. After the first failed write everything further is discarded and
// failed() stays true, so the caller can stop at the first failure.
//
// Write-behind: with it asked for and a buffer of at least kMinWriteBehind
// bytes, a full buffer goes to a writer thread and filling goes on in a
// second buffer meanwhile, so the writes' system time overlaps the work. The
// writes happen in the same order and sizes as without it; what the caller
// sees of a failure is only later: failed() tells of it from the next
// hand-off on, and settle() waits for it. A caller that shows anything else
// (console text) settles first, so what it shows stays in step with what
// was written.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

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
  // Smaller buffers are written in place: a thread hand-off every few bytes
  // would cost more than it saves.
  static constexpr std::size_t kMinWriteBehind = std::size_t{1} << 16;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity, bool write_behind = false);
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

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

  // Writes out what is buffered and waits for every write; false if this or
  // any earlier write failed.
  bool flush();
  // Waits for the writes handed off so far; false if any write failed.
  bool settle();
  bool failed() const { return failed_; }

 private:
  void append_slow(std::string_view bytes);
  char* room_slow(std::size_t n);
  // Starts writing [start_, next_) and makes the buffer empty: in place, or
  // through the writer once it is done with the previous buffer.
  void hand_off();
  void writer_loop();

  ByteSink& sink_;
  std::size_t capacity_;
  // Two buffers of capacity_ bytes with write-behind, one without; start_ is
  // the one being filled: [start_, next_) waits to be written, [next_,
  // limit_) is free.
  std::unique_ptr<char[]> bufs_[2];
  char* start_;
  char* next_;
  char* limit_;
  bool failed_ = false;

  // The writer thread and what it shares with the filling side, under
  // mutex_: pending_ is the buffer it is writing (empty when idle), and
  // write_failed_ is set when one of its writes failed.
  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string_view pending_;
  bool writing_ = false;
  bool write_failed_ = false;
  bool stopping_ = false;
};

}  // namespace qndl
