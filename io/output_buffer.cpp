#include "output_buffer.h"

#include <system_error>

namespace qndl {

OutputBuffer::OutputBuffer(ByteSink& sink, std::size_t capacity, bool write_behind)
    : sink_(sink), capacity_(capacity == 0 ? 1 : capacity) {
  bufs_[0].reset(new char[capacity_]);
  start_ = next_ = bufs_[0].get();
  limit_ = start_ + capacity_;
  if (!write_behind || capacity_ < kMinWriteBehind) return;
  bufs_[1].reset(new char[capacity_]);
  try {
    writer_ = std::thread([this] { writer_loop(); });
  } catch (const std::system_error&) {
    bufs_[1].reset();  // no thread to be had: write in place
  }
}

OutputBuffer::~OutputBuffer() {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void OutputBuffer::writer_loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return writing_ || stopping_; });
    if (!writing_) return;
    const std::string_view bytes = pending_;
    lock.unlock();
    const bool ok = sink_.write(bytes);
    lock.lock();
    if (!ok) write_failed_ = true;
    writing_ = false;
    changed_.notify_all();
  }
}

bool OutputBuffer::settle() {
  if (writer_.joinable()) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !writing_; });
    if (write_failed_) failed_ = true;
  }
  return !failed_;
}

void OutputBuffer::hand_off() {
  const std::string_view bytes(start_, static_cast<std::size_t>(next_ - start_));
  if (!writer_.joinable()) {
    if (!failed_ && !bytes.empty()) failed_ = !sink_.write(bytes);
    next_ = start_;
    return;
  }
  // The writer is done with the other buffer once it is idle; only then may
  // that buffer be filled.
  if (settle() && !bytes.empty()) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      pending_ = bytes;
      writing_ = true;
    }
    changed_.notify_all();
    start_ = start_ == bufs_[0].get() ? bufs_[1].get() : bufs_[0].get();
    limit_ = start_ + capacity_;
  }
  next_ = start_;
}

bool OutputBuffer::flush() {
  hand_off();
  return settle();
}

void OutputBuffer::append_slow(std::string_view bytes) {
  hand_off();
  if (failed_) return;
  if (bytes.size() >= capacity_) {
    // Too big to be worth copying: written from where it is, after every
    // write before it.
    if (settle()) failed_ = !sink_.write(bytes);
    return;
  }
  std::memcpy(next_, bytes.data(), bytes.size());
  next_ += bytes.size();
}

char* OutputBuffer::room_slow(std::size_t n) {
  hand_off();
  if (failed_ || n > capacity_) return nullptr;
  return next_;
}

}  // namespace qndl
