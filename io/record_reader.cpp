#include "record_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "scan.h"

namespace qndl {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1a';
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
static_assert(kUtf8Mark.size() <= RecordReader::kSignatureSize);

// The first CR, LF or Ctrl-Z in [p, end), or end: the bytes that end a
// record's text, and, after a CR, the ones that matter while its line is
// dropped.
const char* find_line_byte(const char* p, const char* end) {
  return scan::find_any(p, end, kCr, kLf, kCtrlZ);
}

}  // namespace

RecordReader::RecordReader(ByteSource& source, std::size_t block_size, std::size_t buffer_limit)
    : source_(source),
      block_size_(block_size == 0 ? 1 : block_size),
      buffer_limit_(buffer_limit),
      buf_(block_size_ + kReadableAfterRecord) {}

bool RecordReader::grow() {
  const std::size_t most = std::min(buffer_limit_, buf_.max_size() - kReadableAfterRecord);
  const std::size_t now = data_capacity();
  if (now >= most) return false;
  const std::size_t next = now > most / 2 ? most : now * 2;
  // The buffer is the program's one allocation that grows with the input,
  // so running out of memory shows here and only here. A failed resize
  // leaves the buffer as it was.
  try {
    buf_.resize(next + kReadableAfterRecord);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool RecordReader::refill() {
  if (input_over_) return false;
  if (pos_ > 0) {
    const std::size_t kept = end_ - pos_;
    if (kept > 0) std::memmove(buf_.data(), buf_.data() + pos_, kept);
    scan_ -= pos_;
    end_ = kept;
    pos_ = 0;
  }
  if (end_ == data_capacity() && !grow()) {
    input_over_ = too_long_ = true;
    return false;
  }
  const std::size_t room = data_capacity() - end_;
  const long long n = source_.read(buf_.data() + end_, room < block_size_ ? room : block_size_);
  if (n <= 0) {
    input_over_ = true;
    error_ = n < 0;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  return true;
}

bool RecordReader::start() {
  if (started_) return !error_;
  started_ = true;
  while (end_ < kSignatureSize && refill()) {
  }
  signature_size_ = end_ < kSignatureSize ? end_ : kSignatureSize;
  std::memcpy(signature_, buf_.data(), signature_size_);
  if (signature().starts_with(kUtf8Mark)) pos_ = scan_ = kUtf8Mark.size();
  return !error_;
}

RecordReader::Status RecordReader::next(std::string_view& record) {
  // A failed start leaves error_ set: the records before it, if any, are
  // delivered and then the error, as for any later read error.
  if (!started_) start();
  for (;;) {
    const char* const data = buf_.data();
    const char* const hit = find_line_byte(data + scan_, data + end_);
    if (hit == data + end_) {
      scan_ = end_;
      if (skipping_) pos_ = end_;  // nothing of this line is needed
      if (refill()) continue;
      if (error_) return Status::kReadError;
      if (too_long_) return Status::kLineTooLong;
      if (pos_ == end_) return Status::kEnd;
      record = std::string_view(buf_.data() + pos_, end_ - pos_);
      pos_ = end_;
      return Status::kRecord;
    }
    const std::size_t at = static_cast<std::size_t>(hit - data);
    if (*hit == kCtrlZ) {
      // The input ends here; a Ctrl-Z at the start of a line adds no record,
      // nor does one in the dropped rest of a line. The record's bytes stay
      // in the buffer: nothing is read after this.
      input_over_ = true;
      const bool is_record = !skipping_ && at != pos_;
      record = std::string_view(data + pos_, at - pos_);
      pos_ = scan_ = end_ = 0;
      return is_record ? Status::kRecord : Status::kEnd;
    }
    if (skipping_) {
      // A CR in the dropped rest keeps dropping; its LF ends the line.
      skipping_ = *hit == kCr;
      pos_ = scan_ = at + 1;
      continue;
    }
    record = std::string_view(data + pos_, at - pos_);
    pos_ = scan_ = at + 1;
    if (*hit == kCr) {
      // CR LF, by far the most common case, needs no dropping pass.
      if (scan_ < end_ && data[scan_] == kLf) {
        pos_ = scan_ = scan_ + 1;
      } else {
        skipping_ = true;
      }
    }
    return Status::kRecord;
  }
}

}  // namespace qndl
