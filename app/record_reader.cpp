#include "record_reader.h"

#include <cstring>

namespace qndl {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1a';

// Bytes that end a record's text: CR, LF and Ctrl-Z.
constexpr bool ends_record(unsigned char c) { return c == kCr || c == kLf || c == kCtrlZ; }

const char* find_record_end(const char* p, const char* end) {
  for (; p != end; ++p) {
    if (ends_record(static_cast<unsigned char>(*p))) return p;
  }
  return end;
}

const char* find_lf_or_ctrl_z(const char* p, const char* end) {
  for (; p != end; ++p) {
    if (*p == kLf || *p == kCtrlZ) return p;
  }
  return end;
}

}  // namespace

RecordReader::RecordReader(ByteSource& source, std::size_t block_size)
    : source_(source), block_size_(block_size == 0 ? 1 : block_size), buf_(block_size_) {}

bool RecordReader::refill() {
  if (input_over_) return false;
  if (pos_ > 0) {
    const std::size_t kept = end_ - pos_;
    if (kept > 0) std::memmove(buf_.data(), buf_.data() + pos_, kept);
    scan_ -= pos_;
    end_ = kept;
    pos_ = 0;
  }
  if (end_ == buf_.size()) buf_.resize(buf_.size() * 2);
  const std::size_t room = buf_.size() - end_;
  const long long n = source_.read(buf_.data() + end_, room < block_size_ ? room : block_size_);
  if (n <= 0) {
    input_over_ = true;
    error_ = n < 0;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

RecordReader::Status RecordReader::next(std::string_view& record) {
  for (;;) {
    if (skipping_) {
      const char* const from = buf_.data() + pos_;
      const char* const stop = find_lf_or_ctrl_z(from, buf_.data() + end_);
      if (stop == buf_.data() + end_) {
        pos_ = scan_ = end_;  // nothing of this line is needed
        if (!refill()) return error_ ? Status::kReadError : Status::kEnd;
        continue;
      }
      if (*stop == kCtrlZ) {
        input_over_ = true;
        pos_ = scan_ = end_;
        return Status::kEnd;
      }
      skipping_ = false;
      pos_ = scan_ = static_cast<std::size_t>(stop - buf_.data()) + 1;
    }

    const char* const data = buf_.data();
    const char* const hit = find_record_end(data + scan_, data + end_);
    if (hit != data + end_) {
      record = std::string_view(data + pos_, static_cast<std::size_t>(hit - (data + pos_)));
      const std::size_t at = static_cast<std::size_t>(hit - data);
      if (*hit == kCtrlZ) {
        // The input ends here; a Ctrl-Z at the start of a line adds no record.
        // The record's bytes stay in the buffer: nothing is read after this.
        input_over_ = true;
        pos_ = scan_ = end_ = 0;
        return record.empty() ? Status::kEnd : Status::kRecord;
      }
      skipping_ = *hit == kCr;
      pos_ = scan_ = at + 1;
      return Status::kRecord;
    }
    scan_ = end_;
    if (!refill()) {
      if (error_) return Status::kReadError;
      if (pos_ == end_) return Status::kEnd;
      record = std::string_view(buf_.data() + pos_, end_ - pos_);
      pos_ = scan_ = end_;
      return Status::kRecord;
    }
  }
}

}  // namespace qndl
